// POSIX only: where the work folder lives, and the checks that keep it the
// user's own. The work files are rewritten at fixed names, so a folder that
// someone else can write into would let them point those names elsewhere.
#pragma once

#include <string>

namespace tarvenia {

// The user's data folder: $XDG_DATA_HOME when it is an absolute path, else
// <home>/.local/share with the home from $HOME or, when that is unset or
// empty, from the password database. Throws Error when there is no home.
std::string DataHome();

// Creates `dir` (and its missing parents) for the user alone (mode 0700), or
// accepts the existing folder when it is the user's own, not a link and not
// writable by others. Throws Error naming the folder (as `what`, then its
// path) and what is wrong.
void MakePrivateFolder(const std::string& dir, const std::string& what = "Work folder");

} // namespace tarvenia
