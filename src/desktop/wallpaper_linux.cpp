#include "desktop/wallpaper.h"

#include "desktop/linux/installer.h"

namespace tarvenia {

std::unique_ptr<WallpaperInstaller> MakeSystemWallpaperInstaller()
{
    return std::make_unique<DesktopWallpaperInstaller>();
}

} // namespace tarvenia
