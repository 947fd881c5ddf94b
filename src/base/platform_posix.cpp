#include "base/platform.h"

#include "base/errno_code.h"
#include "base/error.h"
#include "base/install_location.h"
#include "base/private_folder.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

    // The home folder of the password database's entry for the user, or "".
    std::string PasswordHome()
    {
        const long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(hint > 0 ? static_cast<std::size_t>(hint) : 4096);
        passwd entry {};
        passwd* found = nullptr;
        int err;
        while ((err = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found))
            == ERANGE)
            buffer.resize(buffer.size() * 2);
        return err == 0 && found && found->pw_dir ? found->pw_dir : "";
    }

    // $HOME, or the password database's home when that is unset or empty.
    std::string Home()
    {
        if (const char* variable = std::getenv("HOME"); variable && *variable)
            return variable;
        return PasswordHome();
    }

} // namespace

std::string DataHome()
{
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return xdg;
    const std::string home = Home();
    if (home.empty())
        throw Error("No home folder for the work files");
    return home + "/.local/share";
}

void MakePrivateFolder(const std::string& dir, const std::string& what)
{
    // Missing parents are made as private as the folder; one that cannot be
    // made shows as the folder's own failure below.
    for (std::size_t slash = dir.find('/', 1); slash != std::string::npos;
         slash = dir.find('/', slash + 1))
        ::mkdir(dir.substr(0, slash).c_str(), 0700);
    const std::string named = what + " " + dir;
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        throw Error(named + " cannot be created: " + IoError::TextFor(IoCodeForErrno(errno, true)));
    struct stat st { };
    if (::lstat(dir.c_str(), &st) != 0)
        throw Error(named + " cannot be read: " + IoError::TextFor(IoCodeForErrno(errno, true)));
    if (S_ISLNK(st.st_mode))
        throw Error(named + " is a link");
    if (!S_ISDIR(st.st_mode))
        throw Error(named + " is not a folder");
    if (st.st_uid != ::geteuid())
        throw Error(named + " belongs to another user");
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        throw Error(named + " can be written by other users");
}

std::string WorkDir()
{
    const std::string dir = DataHome() + "/tarvenia";
    MakePrivateFolder(dir);
    return dir + "/";
}

std::string StateDir()
{
    std::string base;
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else {
        const std::string home = Home();
        if (home.empty())
            throw Error("No home folder for the state file");
        base = home + "/.local/state";
    }
    const std::string dir = base + "/tarvenia";
    MakePrivateFolder(dir, "State folder");
    return dir + "/";
}

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
