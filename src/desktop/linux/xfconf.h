// The wallpaper in XFCE's desktop channel, through the Xfconf service.
#pragma once

#include <string>
#include <vector>

namespace tarvenia {

class SessionBus;

class XfconfWallpaper {
public:
    explicit XfconfWallpaper(SessionBus& bus);

    // Puts `path` into every backdrop image property of the channel; when
    // there is none, into the first workspace of the known monitors. The
    // image style and other backdrop properties are left alone. False when
    // the service did not take them.
    bool Apply(const std::string& path);

    // The image properties to set, from the names of the channel's existing
    // /backdrop properties.
    static std::vector<std::string> TargetProperties(const std::vector<std::string>& existing);

private:
    bool Set(const std::string& property, const std::string& value);
    // Sets the property to "" and waits until the daemon has announced it.
    bool Clear(const std::string& property);

    SessionBus& bus_;
};

} // namespace tarvenia
