#include "window/win32/win32_main_thread.h"

namespace tarvenia::win32 {

LRESULT MainThreadCall::Deliver(LPARAM lp) noexcept
{
    auto* call = reinterpret_cast<MainThreadCall*>(lp);
    if (!call || !call->fn)
        return 0;
    call->ran = true;
    try {
        (*call->fn)();
    } catch (...) {
        call->error = std::current_exception();
    }
    return 1;
}

void Win32MainThread::RunAndWait(const std::function<void()>& fn)
{
    HWND window = window_;
    if (!window || !::IsWindow(window))
        return;
    MainThreadCall call { &fn, nullptr };
    // From the main thread itself SendMessage calls the handler directly.
    ::SendMessageA(window, kRunOnMainThread, 0, reinterpret_cast<LPARAM>(&call));
    if (call.error)
        std::rethrow_exception(call.error);
}

} // namespace tarvenia::win32
