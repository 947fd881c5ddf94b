#include "base/install_location.h"
#include "base/platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tarvenia::FavoritesDirFor;

struct Case {
    const char* name;
    std::string executable_dir;
    std::string installed_bin_dir;
    bool installed;
};

TEST(InstallLocation, OnlyTheBinFolderOfTheBuildPrefixIsTheInstalledCopy)
{
    const std::vector<Case> cases = {
        { "package in /usr", "/usr/bin/", "/usr/bin", true },
        { "prefix /usr/local", "/usr/local/bin/", "/usr/local/bin", true },
        { "prefix written with a trailing slash", "/opt/q/bin/", "/opt/q/bin/", true },
        { "repeated separators", "/usr//bin//", "/usr/bin", true },
        { "build tree", "/home/ana/quindelar/build/default/src/app/", "/usr/local/bin", false },
        { "copy in the home folder", "/home/ana/bin/", "/usr/bin", false },
        { "another prefix's bin folder", "/usr/local/bin/", "/usr/bin", false },
        { "a folder below the bin folder", "/usr/bin/extra/", "/usr/bin", false },
        { "a name that only starts alike", "/usr/binaries/", "/usr/bin", false },
        { "the prefix itself", "/usr/", "/usr/bin", false },
        { "staged install of a package build", "/tmp/stage/usr/bin/", "/usr/bin", false },
        { "executable not found", "./", "/usr/bin", false },
        { "relative bin folder", "bin/", "bin", false },
        { "no prefix known", "/usr/bin/", "", false },
        { "root folder against /usr/bin", "/", "/usr/bin", false },
    };
    const std::string work = "/home/ana/.local/share/tarvenia/";
    for (const Case& c : cases) {
        EXPECT_EQ(tarvenia::IsInstalledCopy(c.executable_dir, c.installed_bin_dir), c.installed)
            << c.name;
        EXPECT_EQ(FavoritesDirFor(c.executable_dir, c.installed_bin_dir, work),
            c.installed ? work : c.executable_dir)
            << c.name;
    }
}

// This test program runs from the build tree, never from an install prefix.
TEST(InstallLocation, ACopyOutsideThePrefixKeepsItsFavouritesBesideItself)
{
    EXPECT_EQ(tarvenia::FavoritesDir(), tarvenia::ExecutableDir());
}

} // namespace
