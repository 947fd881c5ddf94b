// The one composition root: both programs (main_qt.cpp, main_win32.cpp), and
// any later front-end or a test, build the controller and everything it works
// with here. Each front-end brings its view and its main thread; the rest is
// decided once, for every platform.
#pragma once

#include "protocol/main_thread.h"
#include "protocol/shared_state.h"
#include "protocol/wallpaper_installer.h"
#include "protocol/worker_starter.h"
#include "window/tform1.h"
#include "window/view.h"

#include <functional>
#include <string>

namespace tarvenia {

// What a front-end brings to the program.
struct FrontEnd {
    TView& view; // what the controller draws on
    MainThread& main_thread; // how workers reach the thread of `view`
    int display_depth; // bits per pixel of the screen
    // Binds the view's events to the controller; called once, before
    // FormCreate.
    std::function<void(TForm1&)> bind;
};

// What the program builds for itself unless it is given here (tests and
// benchmarks give stand-ins).
struct ProgramParts {
    WorkerStarter* workers = nullptr; // default: workers on threads of their own
    WallpaperInstaller* wallpaper = nullptr; // default: the system's installer
    std::string work_dir; // default: WorkDir()
    std::string favorites_dir; // default: FavoritesDir()
    // Told on the worker's own thread when a run of the default starter has
    // ended, after its flag (if any): a front-end without a timer ticks then.
    std::function<void(RunKind)> run_ended = {};
    // Stands between TForm1 and the starter (given or default): TForm1 starts
    // every worker through what it returns.
    std::function<WorkerStarter&(WorkerStarter&)> wrap_workers = {};
};

// One run of the program, wired.
struct Program {
    SharedState& state;
    WorkerStarter& workers;
    WallpaperInstaller& wallpaper;
    TForm1& form;
};

// Builds the shared state, the workers' starter, the wallpaper installer and
// TForm1 on the front-end's view, binds the view to it and runs FormCreate,
// which places the window. Nothing built here is ever destroyed: a worker
// still blocked in the network when the window closes is never awaited and
// holds references to the state.
Program& ComposeProgram(const FrontEnd& front_end, const ProgramParts& parts = {});

} // namespace tarvenia
