#include "desktop/wallpaper.h"

#include <windows.h>

#include <string>

namespace tarvenia {

namespace {

    class SystemWallpaper final : public WallpaperInstaller {
    public:
        bool Install(const std::string& bitmap_path) noexcept override
        {
            // The system keeps its own copy of the path; the buffer only has
            // to live for the call. The window ignores the result.
            std::string path = bitmap_path;
            return ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path.data(),
                       SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE)
                != 0;
        }
    };

} // namespace

std::unique_ptr<WallpaperInstaller> MakeSystemWallpaperInstaller()
{
    return std::make_unique<SystemWallpaper>();
}

} // namespace tarvenia
