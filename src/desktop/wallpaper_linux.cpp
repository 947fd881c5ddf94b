#include "imaging/wallpaper.h"

#include "imaging/desktop_wallpaper_installer.h"

namespace tarvenia {

std::unique_ptr<WallpaperInstaller> MakeSystemWallpaperInstaller()
{
    return std::make_unique<DesktopWallpaperInstaller>();
}

} // namespace tarvenia
