// The program under Qt: its options, read before anything needs the display;
// the window-less run; or the application and its title, the Qt window as
// the front-end of the one composition root (program.h), and the event loop.
#include "app/close_on_signals.h"
#include "app/command_line.h"
#include "app/program.h"
#include "app/today.h"
#include "app/work_lock.h"
#include "base/error.h"
#include "base/platform.h"
#include "base/texts.h"
#include "window/qt/cp1252.h"
#include "window/qt/main_window.h"
#include "window/qt/qt_main_thread.h"
#include "window/tform1.h"

#include <QApplication>
#include <QMessageBox>
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

    // A work folder that is not safely the user's own stops the program
    // before its window opens: said on stderr first, so that it is read even
    // where no window can open, then in the error box.
    ProgramParts parts;
    std::string refusal;
    try {
        parts.work_dir = WorkDir();
    } catch (const Error& e) {
        refusal = TForm1::ErrorBoxText(e.what());
        std::fprintf(stderr, "quindelar: %s\n", refusal.c_str());
    }
    if (refusal.empty())
        LockWorkFolderForWindow(parts.work_dir);
    QApplication app(argc, argv);
    QApplication::setApplicationName(qt::Cp1252ToQString(texts::kAppTitle));
    // Docks and Wayland compositors match the window to the installed desktop
    // entry, and so to its name and icon, by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral(TARVENIA_APP_ID));
    if (!refusal.empty()) {
        // The fixed words are ASCII and the folder's name is a path of this
        // system, in its own encoding.
        QMessageBox::critical(nullptr, qt::Cp1252ToQString(texts::kAppTitle),
            QString::fromLocal8Bit(refusal.c_str()));
        return 1;
    }

    // Lives until the process ends, as everything the workers may touch.
    const int display_depth = QGuiApplication::primaryScreen()->depth();
    auto* window = new qt::MainWindow(display_depth);
    ComposeProgram({ *window, *new qt::QtMainThread, display_depth,
                       [window](TForm1& form) { window->Bind(form); } },
        parts);
    CloseOnSignals(window);
    window->show();
    const int result = QApplication::exec();

    // FormClose has run. Leave without destructors: a worker may still be
    // blocked in the network and holds references to the state.
    std::fflush(nullptr);
    std::quick_exit(result);
}
