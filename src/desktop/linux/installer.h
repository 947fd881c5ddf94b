// Installing the wallpaper bitmap on the Linux desktop the user runs.
#pragma once

#include "desktop/linux/detection.h"
#include "protocol/wallpaper_installer.h"

#include <chrono>
#include <string>

namespace tarvenia {

class DesktopWallpaperInstaller : public WallpaperInstaller {
public:
    struct Limits {
        std::chrono::milliseconds bus { 2000 }; // each D-Bus step, each settings sync
        std::chrono::milliseconds process { 5000 }; // each command-line tool
    };

    DesktopWallpaperInstaller();
    explicit DesktopWallpaperInstaller(Limits limits);

    // Reads the session variables anew on every call.
    bool Install(const std::string& bitmap_path) noexcept override;

    // The desktop Install would serve now.
    DesktopKind Detect();

private:
    Limits limits_;
};

} // namespace tarvenia
