// The program under Qt: its options, read before anything needs the display;
// the window-less run; or the application and its title, the Qt window as
// the front-end of the one composition root (program.h), and the event loop.
#include "app/close_on_signals.h"
#include "app/command_line.h"
#include "app/program.h"
#include "app/today.h"
#include "app/work_lock.h"
#include "base/texts.h"
#include "window/qt/cp1252.h"
#include "window/qt/main_window.h"
#include "window/qt/qt_main_thread.h"

#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// A signal that ends the session closes the window as its close box would.
void CloseOnSignals(QWidget* window)
{
    const int requests = tarvenia::CloseRequestsOnSignals();
    if (requests < 0)
        return;
    auto* notifier = new QSocketNotifier(requests, QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window, requests] {
        char byte;
        [[maybe_unused]] ssize_t n = ::read(requests, &byte, 1);
        window->close();
    });
}

} // namespace

int main(int argc, char* argv[])
{
    using namespace tarvenia;
    // Read before anything needs the display: only the window opens one.
    const CommandLine command = ParseQtCommandLine(argc, argv);
    if (command.command == CommandLine::Command::Today && command.error.empty()) {
        const int status = RunToday();
        // A stopped run may leave a worker in flight: no destructors.
        std::fflush(nullptr);
        std::quick_exit(status);
    }
    if (command.command != CommandLine::Command::Window || !command.error.empty())
        return ReportCommand(command);
    LockWorkFolderForWindow();

    QApplication app(argc, argv);
    QApplication::setApplicationName(qt::Cp1252ToQString(texts::kAppTitle));
    // Docks and Wayland compositors match the window to the installed desktop
    // entry, and so to its name and icon, by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral(TARVENIA_APP_ID));

    // Lives until the process ends, as everything the workers may touch.
    const int display_depth = QGuiApplication::primaryScreen()->depth();
    auto* window = new qt::MainWindow(display_depth);
    ComposeProgram({ *window, *new qt::QtMainThread, display_depth,
        [window](TForm1& form) { window->Bind(form); } });
    CloseOnSignals(window);
    window->show();
    const int result = QApplication::exec();

    // FormClose has run. Leave without destructors: a worker may still be
    // blocked in the network and holds references to the state.
    std::fflush(nullptr);
    std::quick_exit(result);
}
