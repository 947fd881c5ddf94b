// Facts of the machine the program runs on. Variants: platform_posix.cpp,
// platform_windows.cpp.
#pragma once

#include <string>

namespace tarvenia {

// The folder of the running executable, with its trailing separator.
std::string ExecutableDir();

// The folder that holds the work files (photo file, catalog copy, wallpaper
// bitmap), with its trailing separator: "c:\" on Windows; on Linux, where
// there is no drive C, $XDG_DATA_HOME/tarvenia/ (default
// ~/.local/share/tarvenia/), created for the user alone when missing. Throws
// Error, on Linux, when that folder is not safely the user's own (see
// private_folder.h): the program must not start with it.
std::string WorkDir();

// The folder of the favourites file, with its trailing separator, to be
// decided once at start. Windows: the folder of the executable. Linux: the
// work folder for the copy installed in the bin folder of the prefix the
// program was built for, the folder of the executable for any other copy
// (see FavoritesDirFor).
std::string FavoritesDir();

// The folder of what the program remembers between runs (the last photo the
// window-less run set), with its trailing separator. Linux:
// $XDG_STATE_HOME/tarvenia/ (default ~/.local/state/tarvenia/), created
// private when missing. Windows: the folder of the favourites file.
std::string StateDir();

} // namespace tarvenia
