// Time taken by Install, as "Confirmar" calls it right after writing the
// bitmap, for each way of reaching a desktop that can run here: the GSettings
// keyfile store, the real Xfconf daemon and a stand-in Plasma shell on a
// private bus, and desktops that are missing or hung. Figures are medians;
// the reference is one bare round trip on the private bus in the same run.
#include "desktop/linux/bus.h"
#include "desktop/linux/installer.h"
#include "support/fake_service.h"
#include "support/silent_socket.h"
#include "support/temp_folder.h"
#include "support/test_bus.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using tarvenia::DesktopWallpaperInstaller;
using tarvenia::SessionBus;
using tarvenia::testing::FakeService;
using tarvenia::testing::PrivateBus;
using tarvenia::testing::SilentSocket;
using Clock = std::chrono::steady_clock;

const char* const kPlasmaXml = "<node><interface name='org.kde.PlasmaShell'>"
                               "<method name='evaluateScript'><arg type='s' direction='in'/>"
                               "<arg type='s' direction='out'/></method></interface></node>";

double MedianMs(int runs, const std::function<void(int)>& body)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        body(i);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Row {
    std::string name;
    double ms;
    const char* bound;
};

} // namespace

int main()
{
    // Every user folder in a temporary tree, before GLib reads any of them.
    const tarvenia::testing::TempFolder folder;
    tarvenia::testing::UsePrivateUserFolders(folder.Root());
    const std::string root = folder.Root().string();

    const std::string bitmaps[] = { root + "/home/qndelar.bmp", root + "/home/other.bmp" };
    for (const std::string& bitmap : bitmaps)
        std::ofstream(bitmap) << "BM";
    const int runs = 21;
    std::vector<Row> rows;
    DesktopWallpaperInstaller installer;

    PrivateBus bus;
    if (bus.address().empty()) {
        std::fprintf(stderr, "dbus-daemon did not start\n");
        return 1;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);

    const double reference = MedianMs(runs, [&](int) {
        auto session = SessionBus::ConnectTo(bus.address(), std::chrono::milliseconds(2000));
        if (session)
            session->NameHasOwner("org.example.Nobody");
    });

    setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
    rows.push_back({ "GSettings (keyfile), new path",
        MedianMs(runs, [&](int i) { installer.Install(bitmaps[i % 2]); }), "< 100 ms" });
    rows.push_back({ "GSettings (keyfile), same path",
        MedianMs(runs, [&](int) { installer.Install(bitmaps[0]); }), "< 100 ms" });

    setenv("XDG_CURRENT_DESKTOP", "XFCE", 1);
    installer.Install(bitmaps[1]); // starts xfconfd
    rows.push_back({ "Xfconf (real daemon), new path",
        MedianMs(runs, [&](int i) { installer.Install(bitmaps[i % 2]); }), "< 100 ms" });
    rows.push_back({ "Xfconf (real daemon), same path",
        MedianMs(runs, [&](int) { installer.Install(bitmaps[0]); }), "< 100 ms" });

    setenv("XDG_CURRENT_DESKTOP", "KDE", 1);
    rows.push_back({ "Plasma, shell missing",
        MedianMs(runs, [&](int) { installer.Install(bitmaps[0]); }), "< 2000 ms" });
    {
        FakeService shell(bus.address(), "org.kde.plasmashell", "/PlasmaShell", kPlasmaXml,
            FakeService::Mode::Answer);
        rows.push_back({ "Plasma (stand-in shell)",
            MedianMs(runs, [&](int) { installer.Install(bitmaps[0]); }), "< 100 ms" });
    }
    {
        FakeService shell(bus.address(), "org.kde.plasmashell", "/PlasmaShell", kPlasmaXml,
            FakeService::Mode::Silent);
        rows.push_back({ "Plasma, shell hung",
            MedianMs(3, [&](int) { installer.Install(bitmaps[0]); }), "<= 2000 ms + a little" });
    }
    {
        SilentSocket silent(root + "/runtime/hung-bus");
        setenv("DBUS_SESSION_BUS_ADDRESS", silent.address().c_str(), 1);
        rows.push_back({ "Plasma, bus hung",
            MedianMs(3, [&](int) { installer.Install(bitmaps[0]); }), "<= 2000 ms + a little" });
    }
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    setenv("XDG_CURRENT_DESKTOP", "XFCE", 1);
    rows.push_back({ "Xfconf, no session bus",
        MedianMs(runs, [&](int) { installer.Install(bitmaps[0]); }), "< 100 ms" });

    std::printf("Install of the wallpaper bitmap, median of %d runs (hung cases: 3)\n", runs);
    std::printf("reference: connect + one round trip on the private bus = %.3f ms\n\n", reference);
    std::printf("%-34s %12s %12s   %s\n", "method", "ms", "x reference", "target");
    for (const Row& row : rows)
        std::printf(
            "%-34s %12.3f %12.1f   %s\n", row.name.c_str(), row.ms, row.ms / reference, row.bound);

    return 0;
}
