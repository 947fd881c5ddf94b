#include "desktop/wallpaper.h"

#include "desktop/wallpaper_module.h"

#include <mutex>

namespace tarvenia {

namespace {

    class ModuleWallpaper final : public WallpaperInstaller {
    public:
        explicit ModuleWallpaper(std::string module)
            : module_(std::move(module))
        {
        }

        bool Install(const std::string& bitmap_path) noexcept override
        {
            try {
                std::lock_guard lock(mutex_);
                // Only an installer that was had is kept: a load that failed
                // is tried again by the next Install.
                if (!installer_) {
                    using Entry = decltype(tarvenia_new_wallpaper_installer_1);
                    if (auto* entry
                        = ModuleEntry<Entry>(module_, "tarvenia_new_wallpaper_installer_1"))
                        installer_.reset(entry());
                }
                return installer_ && installer_->Install(bitmap_path);
            } catch (...) {
                return false; // no lock (or no memory for the path): nothing is installed
            }
        }

    private:
        const std::string module_;
        std::mutex mutex_;
        std::unique_ptr<WallpaperInstaller> installer_;
    };

} // namespace

std::unique_ptr<WallpaperInstaller> MakeModuleWallpaperInstaller(const std::string& module)
{
    return std::make_unique<ModuleWallpaper>(module);
}

std::unique_ptr<WallpaperInstaller> MakeSystemWallpaperInstaller()
{
    return MakeModuleWallpaperInstaller(kDesktopModule);
}

} // namespace tarvenia
