// The program under Qt: the application and its title, the Qt window as the
// front-end of the one composition root (program.h), and the event loop.
#include "app/close_on_signals.h"
#include "app/program.h"
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
