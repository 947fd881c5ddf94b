// Run with XDG_DATA_DIRS pointing where no schema is compiled: the desktops
// whose schema is missing (or a system with none at all) must not abort the
// program.
#include "desktop/linux/gsettings.h"
#include "desktop/linux/installer.h"
#include "support/scoped_variable.h"

#include <gtest/gtest.h>

namespace tarvenia {
namespace {

    TEST(MissingSchemas, InstallReturnsQuietly)
    {
        ASSERT_FALSE(GSettingsWallpaper::HasSchema("org.gnome.desktop.background"))
            << "the test needs XDG_DATA_DIRS without schemas";
        const std::string bitmap = std::string(std::getenv("HOME")) + "/qndelar.bmp";
        for (const char* desktop : { "GNOME", "X-Cinnamon", "MATE", "" }) {
            testing::ScopedVariable variable("XDG_CURRENT_DESKTOP", desktop);
            DesktopWallpaperInstaller installer;
            EXPECT_FALSE(installer.Install(bitmap)) << desktop; // nothing took it
            EXPECT_FALSE(GSettingsWallpaper(std::chrono::milliseconds(500))
                             .Apply("org.gnome.desktop.background", { "picture-uri" }, "file:///x"))
                << desktop;
        }
        // With neither variable nor schema nor service, nothing is chosen.
        EXPECT_EQ(DesktopWallpaperInstaller().Detect(), DesktopKind::Other);
    }

} // namespace
} // namespace tarvenia
