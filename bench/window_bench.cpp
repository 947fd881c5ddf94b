// Figures of the Qt window, one per invocation so that peaks stay apart:
//   window_bench catalog            the catalog step over 10,000 lines
//   window_bench make-jpeg PATH W H a W x H colour photo for the next mode
//   window_bench rss-photo PATH     peak resident set after showing PATH
// Runs offscreen; prints figures, never judges them.
#include "catalog_step_bench.h"

#include "base/file.h"
#include "support/temp_folder.h"
#include "support/test_jpeg.h"
#include "window/qt/image_box.h"
#include "window/qt/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace tarvenia;
using namespace tarvenia::bench;

std::string PeakRss()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.simplified().toStdString();
    return "VmHWM: ?";
}

int Catalog()
{
    const tarvenia::testing::TempFolder folder;
    const std::string dir = folder.Dir();
    // The reference: the same titles, already decoded, given to a combo box
    // of the program's kind in one call, the least any filling can cost.
    QStringList titles;
    for (const std::string& title : WriteCatalog(dir + "qndelar.qdl"))
        titles.append(QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size())));
    NullStarter workers;
    NullWallpaper wallpaper;
    std::vector<double> times, reference_times;
    for (int round = 0; round < 7; ++round) {
        {
            QWidget bare;
            auto* combo = new QComboBox(&bare);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);
            combo->hide();
            bare.show();
            QApplication::processEvents();
            const auto start = std::chrono::steady_clock::now();
            combo->addItems(titles);
            const auto end = std::chrono::steady_clock::now();
            reference_times.push_back(
                std::chrono::duration<double, std::milli>(end - start).count());
        }
        SharedState state;
        state.Paths = WorkPaths::InFolder(dir);
        state.CurrentKey = state.SelectedKey = "29999999";
        state.BaseUrls = { "http://a/", "http://b/" };
        qt::MainWindow window(24);
        TForm1 form(window, state, workers, wallpaper, 24);
        window.Bind(form);
        window.show();
        QApplication::processEvents();
        state.CatalogReady = true;
        const auto start = std::chrono::steady_clock::now();
        form.Timer1Timer();
        const auto end = std::chrono::steady_clock::now();
        if (window.ComboItems().Count() != kCatalogLines) {
            std::fprintf(stderr, "catalog step listed %d entries\n", window.ComboItems().Count());
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    const Spread step = SpreadOf(times);
    const Spread bare = SpreadOf(reference_times);
    std::printf("catalog step, 10000 lines, combo filled: median %.2f ms (min %.2f, max %.2f)\n",
        step.median, step.min, step.max);
    std::printf(
        "reference: the same titles into a bare combo box at once: median %.2f ms (min %.2f, "
        "max %.2f)\n",
        bare.median, bare.min, bare.max);
    std::printf("ratio catalog step / bare combo filled: %.2f\n", step.median / bare.median);
    return 0;
}

// The photo of the memory figure, made by the tests' JPEG maker.
int MakeJpeg(const char* path, int width, int height)
{
    const std::vector<unsigned char> bytes = tarvenia::testing::MakeJpeg(width, height);
    File out(path, File::Mode::Create);
    out.Write(std::string(bytes.begin(), bytes.end()));
    return 0;
}

int RssPhoto(const std::string& jpeg)
{
    const tarvenia::testing::TempFolder folder;
    const std::string dir = folder.Dir();
    std::filesystem::copy_file(jpeg, dir + "qndelar.jpg");
    NullStarter workers;
    NullWallpaper wallpaper;
    SharedState state;
    state.Paths = WorkPaths::InFolder(dir);
    qt::MainWindow window(24);
    TForm1 form(window, state, workers, wallpaper, 24);
    window.Bind(form);
    window.show();
    QApplication::processEvents();
    state.ImageReady = true;
    form.Timer1Timer();
    window.grab(); // the first draw decodes the photo
    QApplication::processEvents();
    const bool drawn = !window.Image1()->Stretched().isNull();
    std::printf("%s%s\n", PeakRss().c_str(), drawn ? "" : " (photo NOT drawn)");
    return drawn ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "make-jpeg" && argc == 5)
        return MakeJpeg(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    if (mode == "catalog")
        return Catalog();
    if (mode == "rss-photo" && argc == 3)
        return RssPhoto(argv[2]);
    std::fprintf(stderr, "usage: window_bench catalog | make-jpeg PATH W H | rss-photo PATH\n");
    return 2;
}
