#include "app/close_on_signals.h"

namespace tarvenia {

// The Task Scheduler ends a task without a signal, and the window closes
// through its own messages: there is nothing to watch.
void CallOnCloseSignals(std::function<void()>) { }

} // namespace tarvenia
