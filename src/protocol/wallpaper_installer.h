// How the window installs the wallpaper bitmap, without knowing the desktop:
// desktop/ implements it for the system (MakeSystemWallpaperInstaller), tests
// record the calls. The result is not examined and nothing is shown on
// failure; the user's wallpaper style is left alone.
#pragma once

#include <string>

namespace tarvenia {

class WallpaperInstaller {
public:
    virtual ~WallpaperInstaller() = default;
    virtual void Install(const std::string& bitmap_path) noexcept = 0;
};

} // namespace tarvenia
