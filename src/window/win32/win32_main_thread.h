// The workers' hand-over to the main thread: the call is sent to the main
// window as a private message, its handler runs the function, and SendMessage
// returns only when it has run. A worker that calls after the window has gone
// returns at once without running anything.
#pragma once

#include "protocol/main_thread.h"

#include <windows.h>

#include <exception>
#include <functional>

namespace tarvenia::win32 {

// Private messages of the main window.
inline constexpr UINT kRunOnMainThread = WM_APP + 1; // lParam: MainThreadCall*
inline constexpr UINT kReportPaintFailure = WM_APP + 2;
inline constexpr UINT kEndOfComboPick = WM_APP + 3; // the combo box's pick has been handled

struct MainThreadCall {
    const std::function<void()>* fn;
    std::exception_ptr error;
    bool ran = false;

    // Runs the call in the window's message handler; an exception is kept
    // for the caller, it never crosses the system's message dispatch.
    static LRESULT Deliver(LPARAM lp) noexcept;
};

class Win32MainThread final : public MainThread {
public:
    // `window` is read at every call: the window may be created after this
    // object.
    explicit Win32MainThread(const HWND& window)
        : window_(window)
    {
    }
    void RunAndWait(const std::function<void()>& fn) override;

private:
    const HWND& window_;
};

} // namespace tarvenia::win32
