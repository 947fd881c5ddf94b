// The program's start under Qt: the application, its title, the main window
// and the event loop.
#include "base/platform.h"
#include "base/texts.h"
#include "desktop/wallpaper.h"
#include "protocol/date_key.h"
#include "protocol/shared_state.h"
#include "web/vazi_dov_thread.h"
#include "window/qt/cp1252.h"
#include "window/qt/main_window.h"
#include "window/qt/qt_main_thread.h"

#include <QApplication>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    using namespace tarvenia;
    QApplication app(argc, argv);
    QApplication::setApplicationName(qt::Cp1252ToQString(texts::kAppTitle));

    // Everything the workers may touch lives until the process ends: a worker
    // blocked in the network is never awaited, so nothing here is destroyed.
    auto* state = new SharedState;
    state->Paths = WorkPaths::InFolder(WorkDir());
    auto* main_thread = new qt::QtMainThread;
    auto** window_slot = new qt::MainWindow*(nullptr);

    WorkerServices services;
    services.main_thread = main_thread;
    services.set_status = [window_slot](const std::string& text) {
        if (*window_slot)
            (*window_slot)->SetStatusText(text);
    };
    services.today_key = [] { return DateKeyToday(); };
    auto* workers = new ThreadWorkerStarter(*state, services);
    WallpaperInstaller* wallpaper = MakeSystemWallpaperInstaller().release();

    const int display_depth = QGuiApplication::primaryScreen()->depth();
    auto* window = new qt::MainWindow(*state, *workers, *wallpaper, display_depth);
    *window_slot = window;
    window->show();
    const int result = QApplication::exec();

    // FormClose has run. Leave without destructors: a worker may still be
    // blocked in the network and holds references to the state.
    std::fflush(nullptr);
    std::quick_exit(result);
}
