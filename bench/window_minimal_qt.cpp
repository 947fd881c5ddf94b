// The reference for the window benchmarks: the smallest Qt Widgets program
// with a window of the same size. With --button it also carries one push
// button with a caption (what any window with text controls pays for the
// style and the fonts). With --rss it prints its peak resident set once the
// window has been drawn, and ends.
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bench-minimal-qt"));
    window.setFixedSize(251, 180);
    if (argc > 1 && std::strcmp(argv[1], "--button") == 0)
        (new QPushButton(QStringLiteral("Salir"), &window))->setGeometry(181, 13, 57, 25);
    window.show();
    if (argc > 1 && std::strcmp(argv[1], "--rss") == 0) {
        window.grab();
        QFile status(QStringLiteral("/proc/self/status"));
        status.open(QIODevice::ReadOnly);
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                std::printf("%s\n", line.simplified().constData());
        return 0;
    }
    return QApplication::exec();
}
