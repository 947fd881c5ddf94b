// The system's installer loads the desktop methods with its first Install; a
// module that cannot be loaded installs nothing, as a desktop that refuses.
#include "desktop/wallpaper.h"
#include "desktop/wallpaper_module.h"
#include "support/scoped_variable.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tarvenia {
namespace {

    using namespace tarvenia::testing;

    TEST(DesktopModule, InstallsThroughTheModuleAndNothingWithoutIt)
    {
        const TempFolder folder;
        WriteFileBytes(folder.Dir() + "text.so", "not a library");
        struct Case {
            const char* name; // also the bitmap's
            std::string module; // empty: the system's installer
            bool installs;
        } cases[] = {
            { "missing", folder.Dir() + "missing.so", false },
            { "not-a-library", folder.Dir() + "text.so", false },
            { "no-entry-point", "libm.so.6", false },
            { "system", "", true },
        };
        ScopedVariable desktop("XDG_CURRENT_DESKTOP", "GNOME");
        const std::string keyfile
            = std::string(std::getenv("XDG_CONFIG_HOME")) + "/glib-2.0/settings/keyfile";
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            const std::string bitmap = folder.Dir() + c.name + ".bmp";
            WriteFileBytes(bitmap, "BM");
            auto installer = c.module.empty() ? MakeSystemWallpaperInstaller()
                                              : MakeModuleWallpaperInstaller(c.module);
            EXPECT_EQ(installer->Install(bitmap), c.installs);
            // A failed load is tried again, as silently.
            EXPECT_EQ(installer->Install(bitmap), c.installs);
            const std::string stored = ReadFileBytes(keyfile); // "" while none
            EXPECT_EQ(stored.find(c.name + std::string(".bmp")) != std::string::npos, c.installs)
                << stored;
        }
    }

} // namespace
} // namespace tarvenia
