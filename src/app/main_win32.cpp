// The Windows program: its options; the window-less run; or the Win32 window
// as the front-end of the one composition root (program.h), and the message
// loop.
#include "app/command_line.h"
#include "app/program.h"
#include "app/today.h"
#include "app/work_lock.h"
#include "base/platform.h"
#include "base/texts.h"
#include "window/win32/win32_main_thread.h"
#include "window/win32/win32_view.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Bits per pixel of the screen, read once before the window is made.
int DisplayDepth()
{
    HDC screen = ::GetDC(nullptr);
    const int depth = ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
    ::ReleaseDC(nullptr, screen);
    return depth;
}

// --help and --version of a program started without a console.
void ShowTextBox(const std::string& text, bool error)
{
    ::MessageBoxA(nullptr, text.c_str(), tarvenia::texts::kAppTitle,
        MB_OK | (error ? MB_ICONSTOP : MB_ICONINFORMATION));
}

int Run(HINSTANCE instance)
{
    using namespace tarvenia;
    INITCOMMONCONTROLSEX icc { sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES };
    ::InitCommonControlsEx(&icc);
    LockWorkFolderForWindow(WorkDir());

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

// The options, then the run without a window or the window.
int Start(HINSTANCE instance)
{
    using namespace tarvenia;
    // The C runtime's reading of the command line (quotes and all).
    const CommandLine command
        = ParseArguments(std::vector<std::string>(__argv + 1, __argv + __argc));
    if (!command.error.empty() || command.command == CommandLine::Command::Help
        || command.command == CommandLine::Command::Version)
        return ReportCommand(command, ShowTextBox);
    if (command.command == CommandLine::Command::Today)
        return RunToday(); // no window at all
    return Run(instance);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    int code = 1;
    try {
        code = Start(instance);
    } catch (...) {
    }
    // Workers still running end with the process; nothing waits for them.
    ::ExitProcess(static_cast<UINT>(code));
}
