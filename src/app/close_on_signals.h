// Closing the window when the session ends or a service manager stops the
// program (POSIX: close_on_signals_posix.cpp; Windows closes windows with
// messages of its own, and ends a scheduled task without a signal:
// close_on_signals_windows.cpp).
#pragma once

#include <functional>

namespace tarvenia {

// From now on SIGTERM, SIGHUP and SIGINT each write one byte into a socket
// whose reading end is returned (-1 when none could be made): the front-end
// watches it and closes its window as the close box does, so that the work
// files are removed. A signal that was ignored when the program started
// stays ignored: under nohup, SIGHUP must not end the program.
int CloseRequestsOnSignals();

// The same for a program without a window: `request` is called on a thread
// of its own at the first of those signals. Nothing on Windows.
void CallOnCloseSignals(std::function<void()> request);

} // namespace tarvenia
