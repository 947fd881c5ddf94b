// The workers' hand-over to the main thread under Win32: the mailbox of
// protocol/hand_over_mailbox.h, whose notice is a message posted to a
// message-only window of the main thread (modal loops dispatch it too). A
// worker that calls after the main window has gone returns at once without
// running anything.
#pragma once

#include "protocol/hand_over_mailbox.h"
#include "protocol/main_thread.h"

#include <windows.h>

#include <memory>

namespace tarvenia::win32 {

// Private messages of the main window.
inline constexpr UINT kReportPaintFailure = WM_APP + 2;
inline constexpr UINT kEndOfComboPick = WM_APP + 3; // the combo box's pick has been handled

class Win32MainThread final : public MainThread {
public:
    // Made on the main thread. `window`, the main window, is read at every
    // call: it may be created after this object.
    explicit Win32MainThread(const HWND& window);
    ~Win32MainThread() override;
    Win32MainThread(const Win32MainThread&) = delete;
    Win32MainThread& operator=(const Win32MainThread&) = delete;
    void RunAndWait(const std::function<void()>& fn) override;

private:
    static LRESULT CALLBACK NoticeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    // Watches the mailbox for as long as calls stream and nothing else
    // needs the queue.
    void Serve();

    const HWND& window_;
    HWND notices_ = nullptr;
    std::shared_ptr<HandOverMailbox> mailbox_;
};

} // namespace tarvenia::win32
