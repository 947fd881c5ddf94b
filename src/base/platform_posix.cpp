#include "base/platform.h"

#include "base/install_location.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvenia {

std::string ExecutableDir()
{
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return "./";
    std::string path(buf, static_cast<std::size_t>(n));
    return path.substr(0, path.find_last_of('/') + 1);
}

namespace {
    void MakeDirs(const std::string& dir)
    {
        for (std::size_t pos = 1; pos <= dir.size(); ++pos) {
            if (pos == dir.size() || dir[pos] == '/') {
                std::string part = dir.substr(0, pos);
                if (!part.empty())
                    ::mkdir(part.c_str(), 0700);
            }
        }
    }
} // namespace

namespace {
    // `variable`/tarvenia/, or `fallback` under the home folder: the XDG
    // base directory rule (only an absolute value counts).
    std::string XdgDir(const char* variable, const char* fallback)
    {
        std::string base;
        if (const char* xdg = std::getenv(variable); xdg && *xdg == '/')
            base = xdg;
        else if (const char* home = std::getenv("HOME"); home && *home)
            base = std::string(home) + fallback;
        else
            base = "/tmp";
        std::string dir = base + "/tarvenia";
        MakeDirs(dir);
        return dir + "/";
    }
} // namespace

std::string WorkDir() { return XdgDir("XDG_DATA_HOME", "/.local/share"); }

std::string StateDir() { return XdgDir("XDG_STATE_HOME", "/.local/state"); }

std::string FavoritesDir()
{
    // The bin folder of the install prefix, fixed at build time. Links in it
    // are resolved like those of /proc/self/exe (on a merged-/usr system /bin
    // is /usr/bin), so both sides name the same folder the same way.
    std::string bin_dir = TARVENIA_INSTALL_BINDIR;
    if (char* real = ::realpath(bin_dir.c_str(), nullptr)) {
        bin_dir = real;
        std::free(real);
    }
    return FavoritesDirFor(ExecutableDir(), bin_dir, WorkDir());
}

} // namespace tarvenia
