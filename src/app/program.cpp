#include "app/program.h"

#include "base/platform.h"
#include "desktop/wallpaper.h"
#include "web/vazi_dov_thread.h"

#include <vector>

namespace tarvenia {

namespace {

    // Every program composed stays reachable until the process ends, as
    // leak checkers expect of what is kept on purpose; nothing destroys it.
    std::vector<Program*>* const g_composed = new std::vector<Program*>;

} // namespace

Program& ComposeProgram(const FrontEnd& front_end, const ProgramParts& parts)
{
    auto* state = new SharedState;
    state->Paths = WorkPaths::InFolder(parts.work_dir.empty() ? WorkDir() : parts.work_dir);

    // The workers' texts go through the controller, which decides which of
    // them reach assistive technology; it is made below, before any worker.
    TForm1** status_form = nullptr;
    WorkerStarter* workers = parts.workers;
    if (!workers) {
        status_form = new TForm1*(nullptr);
        WorkerServices services;
        services.main_thread = &front_end.main_thread;
        // Runs on the main thread, through main_thread.
        services.set_status = [status_form](const std::string& text) {
            if (*status_form)
                (*status_form)->ShowStatus(text);
        };
        services.run_ended = parts.run_ended;
        workers = new ThreadWorkerStarter(*state, std::move(services));
    }
    if (parts.wrap_workers)
        workers = &parts.wrap_workers(*workers);
    WallpaperInstaller* wallpaper
        = parts.wallpaper ? parts.wallpaper : MakeSystemWallpaperInstaller().release();

    auto* form = new TForm1(front_end.view, *state, *workers, *wallpaper, front_end.display_depth);
    if (status_form)
        *status_form = form;
    if (front_end.bind)
        front_end.bind(*form);
    form->FormCreate(parts.favorites_dir.empty() ? FavoritesDir() : parts.favorites_dir);
    g_composed->push_back(new Program { *state, *workers, *wallpaper, *form });
    return *g_composed->back();
}

} // namespace tarvenia
