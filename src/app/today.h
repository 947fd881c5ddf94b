// The window-less run, "quindelar --today", as both programs start it: the
// work folder's lock, then the one composition root with the window-less
// front-end (window/headless), driven to its end. Needs no display.
#pragma once

namespace tarvenia {

// Returns the exit status (headless::kExit*). Everything it builds is left
// for the process's end, as in the window's program.
int RunToday();

} // namespace tarvenia
