// Installing the wallpaper bitmap as the desktop wallpaper. Variants:
// wallpaper_linux.cpp, wallpaper_windows.cpp. The result is not examined and
// nothing is shown on failure; the user's wallpaper style is left alone.
#pragma once

#include <memory>
#include <string>

namespace tarvenia {

class WallpaperInstaller {
public:
    virtual ~WallpaperInstaller() = default;
    virtual void Install(const std::string& bitmap_path) noexcept = 0;
};

std::unique_ptr<WallpaperInstaller> MakeSystemWallpaperInstaller();

} // namespace tarvenia
