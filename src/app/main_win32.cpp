// The Windows program: the Win32 window as the front-end of the one
// composition root (program.h), and the message loop.
#include "app/program.h"
#include "window/win32/win32_main_thread.h"
#include "window/win32/win32_view.h"

#include <windows.h>

#include <commctrl.h>

namespace {

// Bits per pixel of the screen, read once before the window is made.
int DisplayDepth()
{
    HDC screen = ::GetDC(nullptr);
    const int depth = ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
    ::ReleaseDC(nullptr, screen);
    return depth;
}

int Run(HINSTANCE instance)
{
    using namespace tarvenia;
    INITCOMMONCONTROLSEX icc { sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES };
    ::InitCommonControlsEx(&icc);

    // Lives until the process ends, as everything the workers may touch.
    const int depth = DisplayDepth();
    auto* view = new win32::Win32View(instance, depth);
    view->SetQuitOnDestroy(true);
    ComposeProgram({ *view, *new win32::Win32MainThread(view->HandleRef()), depth,
        [view](TForm1& form) { view->Create(form); } });
    if (!view->Handle())
        return 1;
    view->Show();

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // Keys go to the window's commands and Tab moves between controls.
        if (view->PreTranslateMessage(msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    int code = 1;
    try {
        code = Run(instance);
    } catch (...) {
    }
    // Workers still running end with the process; nothing waits for them.
    ::ExitProcess(static_cast<UINT>(code));
}
