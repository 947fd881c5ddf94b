// The Windows program: the main window, its controller and the message loop.
#include "base/platform.h"
#include "desktop/wallpaper.h"
#include "protocol/date_key.h"
#include "protocol/shared_state.h"
#include "web/vazi_dov_thread.h"
#include "window/tform1.h"
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
    INITCOMMONCONTROLSEX icc { sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES };
    ::InitCommonControlsEx(&icc);

    const int depth = DisplayDepth();

    // Everything the workers may touch lives until the process ends: a
    // worker still running when the window closes is never awaited.
    auto* state = new tarvenia::SharedState;
    state->Paths = tarvenia::WorkPaths::InFolder(tarvenia::WorkDir());
    auto* view = new tarvenia::win32::Win32View(instance, depth);
    auto* main_thread = new tarvenia::win32::Win32MainThread(view->HandleRef());

    tarvenia::WorkerServices services;
    services.main_thread = main_thread;
    services.set_status = [view](const std::string& text) { view->SetStatusText(text); };
    services.today_key = [] { return tarvenia::DateKeyToday(); };
    auto* workers = new tarvenia::ThreadWorkerStarter(*state, services);
    auto* wallpaper = tarvenia::MakeSystemWallpaperInstaller().release();
    auto* form = new tarvenia::TForm1(*view, *state, *workers, *wallpaper, depth);

    view->SetQuitOnDestroy(true);
    view->Create(*form, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
        tarvenia::ExecutableDir());
    if (!view->Handle())
        return 1;
    view->Show();

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
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
