// The Linux desktop methods as a loadable module: linux/module.cpp is built as
// the module "desktop.so", whose one export is the entry point below, and the
// system's installer (wallpaper_linux.cpp) loads it with the first Install,
// so that GIO and the libraries it needs are not loaded with the window.
#pragma once

#include "base/loadable_module.h"
#include "protocol/wallpaper_installer.h"

#include <memory>
#include <string>

// A new installer for the desktop the user runs, or null. The number in the
// name is the version of WallpaperInstaller: raise it when it changes, so
// that a module of another build is never taken for this one's.
extern "C" TARVENIA_MODULE_EXPORT tarvenia::WallpaperInstaller*
tarvenia_new_wallpaper_installer_1() noexcept;

namespace tarvenia {

inline constexpr const char* kDesktopModule = "desktop.so";

// The installer of `module` (a file name or a path, as ModuleSymbol takes
// it), loaded by the first Install. While the module cannot be loaded,
// Install installs nothing and returns false, as when the desktop refuses.
std::unique_ptr<WallpaperInstaller> MakeModuleWallpaperInstaller(const std::string& module);

} // namespace tarvenia
