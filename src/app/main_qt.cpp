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
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_close_request[2] = { -1, -1 };

// A session that ends, or a service manager stopping the program, sends
// SIGTERM (SIGHUP when the terminal goes, SIGINT for Ctrl+C). The window is
// then closed as its close box would do it, so that the work files are
// removed; the handler itself only writes a byte, the one thing it may do.
void RequestClose(int)
{
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(g_close_request[1], &byte, 1);
}

void CloseOnSignals(QWidget* window)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_close_request) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_close_request[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char byte;
        [[maybe_unused]] ssize_t n = ::read(g_close_request[0], &byte, 1);
        window->close();
    });
    struct sigaction action = {};
    action.sa_handler = RequestClose;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : { SIGTERM, SIGHUP, SIGINT })
        ::sigaction(signal, &action, nullptr);
}

} // namespace

int main(int argc, char* argv[])
{
    using namespace tarvenia;
    QApplication app(argc, argv);
    QApplication::setApplicationName(qt::Cp1252ToQString(texts::kAppTitle));
    // Docks and Wayland compositors match the window to the installed desktop
    // entry, and so to its name and icon, by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral(TARVENIA_APP_ID));

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
    CloseOnSignals(window);
    window->show();
    const int result = QApplication::exec();

    // FormClose has run. Leave without destructors: a worker may still be
    // blocked in the network and holds references to the state.
    std::fflush(nullptr);
    std::quick_exit(result);
}
