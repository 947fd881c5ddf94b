// The entry point of the loadable module "desktop.so" (wallpaper_module.h).
#include "desktop/linux/installer.h"
#include "desktop/wallpaper_module.h"

tarvenia::WallpaperInstaller* tarvenia_new_wallpaper_installer_1() noexcept
{
    try {
        return new tarvenia::DesktopWallpaperInstaller;
    } catch (...) {
        return nullptr; // out of memory: nothing is installed
    }
}
