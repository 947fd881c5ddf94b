#include "window/win32/win32_main_thread.h"

namespace tarvenia::win32 {

namespace {

    constexpr char kClassName[] = "TarveniaHandOver";
    constexpr UINT kNotice = WM_APP + 1;
    constexpr UINT_PTR kResumeTimer = 1;

    BOOL CALLBACK PaintNow(HWND window, LPARAM)
    {
        ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        return TRUE;
    }

} // namespace

Win32MainThread::Win32MainThread(const HWND& window)
    : window_(window)
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA wc {};
    if (!::GetClassInfoA(instance, kClassName, &wc)) {
        wc.lpfnWndProc = &NoticeProc;
        wc.hInstance = instance;
        wc.lpszClassName = kClassName;
        ::RegisterClassA(&wc);
    }
    notices_ = ::CreateWindowExA(
        0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    // Without its window no notice can go: every call then returns unrun (a
    // null window would post to the worker's own thread).
    mailbox_ = HandOverMailbox::Make(
        [notices = notices_] { return notices && ::PostMessageA(notices, kNotice, 0, 0); });
    if (notices_)
        ::SetWindowLongPtrA(notices_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32MainThread::~Win32MainThread()
{
    mailbox_->Close();
    if (notices_)
        ::DestroyWindow(notices_);
}

void Win32MainThread::RunAndWait(const std::function<void()>& fn)
{
    HWND window = window_;
    if (!window || !::IsWindow(window))
        return;
    // Our own reference: a worker released by our destruction still leaves
    // through the mailbox.
    const auto mailbox = mailbox_;
    mailbox->RunAndWait(fn);
}

LRESULT CALLBACK Win32MainThread::NoticeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    const bool resume = msg == WM_TIMER && wp == kResumeTimer;
    if (msg != kNotice && !resume)
        return ::DefWindowProcA(hwnd, msg, wp, lp);
    if (resume)
        ::KillTimer(hwnd, kResumeTimer);
    // The mailbox catches what a call throws: nothing crosses the system's
    // message dispatch.
    if (auto* self = reinterpret_cast<Win32MainThread*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA)))
        self->Serve();
    return 0;
}

void Win32MainThread::Serve()
{
    while (mailbox_->Watch() == HandOverMailbox::WatchEnd::kTimeLimit) {
        // The calls still stream. Windows hands out input, paints and timers
        // only while no posted message waits, so a notice posted at once for
        // the next watch would keep them out for as long as the download
        // lasts. Paints are drawn here, expired timers run here (not
        // watching meanwhile: a timer may open a modal box, whose loop then
        // serves the notices); other messages get the queue first.
        const DWORD waiting = HIWORD(::GetQueueStatus(QS_ALLINPUT));
        if (waiting & (QS_INPUT | QS_HOTKEY)) {
            // Input comes before timers: the watch resumes on a timer,
            // still counted as watching so that no notice overtakes the
            // input.
            ::SetTimer(notices_, kResumeTimer, USER_TIMER_MINIMUM, nullptr);
            return;
        }
        if (waiting & (QS_POSTMESSAGE | QS_SENDMESSAGE)) {
            // The next notice queues up behind them.
            mailbox_->Leave();
            return;
        }
        if (waiting & QS_PAINT)
            ::EnumThreadWindows(::GetCurrentThreadId(), &PaintNow, 0);
        if (waiting & QS_TIMER) {
            mailbox_->Leave();
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE))
                ::DispatchMessageA(&msg);
        }
    }
}

} // namespace tarvenia::win32
