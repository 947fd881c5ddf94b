// How the window installs the wallpaper bitmap, without knowing the desktop:
// desktop/ implements it for the system (MakeSystemWallpaperInstaller), tests
// record the calls. The window does not examine the result and shows nothing
// on failure; the window-less run reports a refusal. The user's wallpaper
// style is left alone.
#pragma once

#include <string>

namespace tarvenia {

class WallpaperInstaller {
public:
    virtual ~WallpaperInstaller() = default;
    // True when the desktop took the bitmap as its wallpaper.
    virtual bool Install(const std::string& bitmap_path) noexcept = 0;
};

} // namespace tarvenia
