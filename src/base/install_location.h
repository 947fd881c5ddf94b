// Whether the running copy is the installed one, and so where its favourites
// file belongs. Kept apart from the system calls so that the rule can be
// tried on any paths.
#pragma once

#include <string>

namespace tarvenia {

// True when executable_dir names the same folder as installed_bin_dir, the
// bin folder of the prefix the program was built for. Both are compared as
// written, after dropping repeated and trailing separators: the caller
// resolves links. An empty or relative folder is never the installed one.
bool IsInstalledCopy(const std::string& executable_dir, const std::string& installed_bin_dir);

// The folder of the favourites file, with its trailing separator. An installed
// copy lives in a folder shared by every user and owned by the system, so its
// favourites go to the user's own work folder; any other copy (a build tree,
// a copy unpacked in the home folder) keeps them beside the executable.
std::string FavoritesDirFor(const std::string& executable_dir, const std::string& installed_bin_dir,
    const std::string& work_dir);

} // namespace tarvenia
