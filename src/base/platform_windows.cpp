#include "base/platform.h"

#include <windows.h>

#include <string>

namespace tarvenia {

std::string ExecutableDir()
{
    // Long paths: grow the buffer until the whole name fits.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return ".\\";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768)
            return ".\\";
        path.resize(path.size() * 2);
    }
    auto sep = path.find_last_of("\\/");
    return sep == std::string::npos ? ".\\" : path.substr(0, sep + 1);
}

std::string WorkDir() { return "c:\\"; }

std::string FavoritesDir() { return ExecutableDir(); }

std::string StateDir() { return FavoritesDir(); }

} // namespace tarvenia
