// The wallpaper of KDE Plasma's desktops, through the shell's scripting
// interface.
#pragma once

#include <string>

namespace tarvenia {

class SessionBus;

class PlasmaWallpaper {
public:
    explicit PlasmaWallpaper(SessionBus& bus);

    // Sends the script to the running shell; true when the shell ran it.
    bool Apply(const std::string& file_uri);

    // The script that shows `file_uri` on every desktop that shows a single
    // picture; slideshows and picture-of-the-day desktops keep their plugin.
    static std::string Script(const std::string& file_uri);

private:
    SessionBus& bus_;
};

} // namespace tarvenia
