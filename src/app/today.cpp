#include "app/today.h"

#include "app/close_on_signals.h"
#include "app/console.h"
#include "app/program.h"
#include "app/work_lock.h"
#include "base/platform.h"
#include "desktop/wallpaper.h"
#include "window/headless/headless_main_thread.h"
#include "window/headless/headless_view.h"
#include "window/headless/today_run.h"

#include <exception>

namespace tarvenia {

namespace {

    // A run that meets another run (the timer's and the log-in's at once)
    // waits this long for it: longer than a run held up by every one of its
    // downloads' limits.
    constexpr std::chrono::minutes kWaitForRun { 10 };

    void Message(const std::string& text) { WriteStderr("quindelar: " + text + "\n"); }

} // namespace

int RunToday()
{
    using namespace headless;
    try {
        const std::string work_dir = WorkDir();
        auto* lock = new WorkLock(work_dir);
        switch (lock->TakeForRun(kWaitForRun)) {
        case WorkLock::Outcome::Taken:
            break;
        case WorkLock::Outcome::WindowOpen:
            Message("the window is open; it sets the wallpaper itself");
            return kExitBusy;
        case WorkLock::Outcome::RunBusy:
            Message("another run has not ended; nothing was done");
            return kExitBusy;
        }

        auto* view = new HeadlessView(Message);
        auto* main_thread = new HeadlessMainThread;
        auto* run = new TodayRun(*view, *main_thread, *MakeSystemWallpaperInstaller().release(),
            StateDir() + "qndelar.last",
            { [](const std::string& line) { WriteStdout(line + "\n"); }, Message });
        // A stop (the service manager's SIGTERM, Ctrl-C) ends the run as a
        // failure, with the work files removed.
        CallOnCloseSignals([run] { run->Stop(); });

        ProgramParts parts;
        parts.work_dir = work_dir;
        parts.wallpaper = &run->Wallpaper();
        parts.run_ended = [run](RunKind kind) { run->RunEnded(kind); };
        parts.wrap_workers
            = [run](WorkerStarter& inner) -> WorkerStarter& { return run->Workers(inner); };
        Program& program = ComposeProgram({ *view, *main_thread, HeadlessView::kDisplayDepth,
                                              [view](TForm1& form) { view->Bind(form); } },
            parts);
        return run->Run(program.form, program.state);
    } catch (const std::exception& e) {
        // A work folder that is not safely the user's own, said as the
        // window says it.
        Message(TForm1::ErrorBoxText(e.what()));
        return kExitFailed;
    }
}

} // namespace tarvenia
