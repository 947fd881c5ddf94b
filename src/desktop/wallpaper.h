// The system's wallpaper installer. Variants: wallpaper_linux.cpp,
// wallpaper_windows.cpp.
#pragma once

#include "protocol/wallpaper_installer.h"

#include <memory>

namespace tarvenia {

std::unique_ptr<WallpaperInstaller> MakeSystemWallpaperInstaller();

} // namespace tarvenia
