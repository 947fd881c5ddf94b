#include "base/install_location.h"

namespace tarvenia {

namespace {

    std::string Normalized(const std::string& dir)
    {
        std::string out;
        out.reserve(dir.size());
        for (char c : dir) {
            if (c == '/' && !out.empty() && out.back() == '/')
                continue;
            out += c;
        }
        while (out.size() > 1 && out.back() == '/')
            out.pop_back();
        return out;
    }

} // namespace

bool IsInstalledCopy(const std::string& executable_dir, const std::string& installed_bin_dir)
{
    if (executable_dir.empty() || installed_bin_dir.empty() || executable_dir[0] != '/'
        || installed_bin_dir[0] != '/')
        return false;
    return Normalized(executable_dir) == Normalized(installed_bin_dir);
}

std::string FavoritesDirFor(const std::string& executable_dir, const std::string& installed_bin_dir,
    const std::string& work_dir)
{
    return IsInstalledCopy(executable_dir, installed_bin_dir) ? work_dir : executable_dir;
}

} // namespace tarvenia
