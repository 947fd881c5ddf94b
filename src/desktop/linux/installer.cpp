#include "desktop/linux/installer.h"

#include "desktop/linux/bus.h"
#include "desktop/linux/feh.h"
#include "desktop/linux/gobject_ptr.h"
#include "desktop/linux/gsettings.h"
#include "desktop/linux/plasma.h"
#include "desktop/linux/process.h"
#include "desktop/linux/system_probe.h"
#include "desktop/linux/xfconf.h"

#include <cstdlib>
#include <memory>

namespace tarvenia {

namespace {

    // One connection per Install, made when the detection or the desktop
    // first needs it; a bus that failed once is not tried again.
    class LazyBus {
    public:
        explicit LazyBus(std::chrono::milliseconds limit)
            : limit_(limit)
        {
        }
        SessionBus* Get()
        {
            if (!tried_) {
                tried_ = true;
                bus_ = SessionBus::Connect(limit_);
            }
            return bus_.get();
        }

    private:
        std::chrono::milliseconds limit_;
        bool tried_ = false;
        std::unique_ptr<SessionBus> bus_;
    };

    std::string Variable(const char* name)
    {
        const char* value = std::getenv(name);
        return value ? value : "";
    }

    std::string FehbgPath()
    {
        std::string home = Variable("HOME");
        if (home.empty())
            home = g_get_home_dir();
        GCharPtr path(g_build_filename(home.c_str(), ".fehbg", nullptr));
        return path.get();
    }

    DesktopKind DetectWith(LazyBus& bus)
    {
        SystemDesktopProbe probe([&bus] { return bus.Get(); }, FehbgPath());
        return DetectDesktop(Variable("XDG_CURRENT_DESKTOP"), Variable("DESKTOP_SESSION"), probe);
    }

} // namespace

DesktopWallpaperInstaller::DesktopWallpaperInstaller()
    : DesktopWallpaperInstaller(Limits {})
{
}

DesktopWallpaperInstaller::DesktopWallpaperInstaller(Limits limits)
    : limits_(limits)
{
}

DesktopKind DesktopWallpaperInstaller::Detect()
{
    LazyBus bus(limits_.bus);
    return DetectWith(bus);
}

void DesktopWallpaperInstaller::Install(const std::string& bitmap_path) noexcept
{
    // Failures stay silent: the window goes on whatever the desktop did.
    try {
        if (bitmap_path.empty())
            return;
        // Desktops need an absolute path; the URI form escapes what URIs
        // cannot carry (spaces, '#', non-ASCII bytes).
        GCharPtr absolute(g_canonicalize_filename(bitmap_path.c_str(), nullptr));
        GCharPtr uri(g_filename_to_uri(absolute.get(), nullptr, nullptr));
        if (!uri)
            return;
        const std::string path = absolute.get();

        LazyBus bus(limits_.bus);
        switch (DetectWith(bus)) {
        case DesktopKind::Gnome:
            GSettingsWallpaper(limits_.bus)
                .Apply("org.gnome.desktop.background", { "picture-uri", "picture-uri-dark" },
                    uri.get());
            break;
        case DesktopKind::Cinnamon:
            GSettingsWallpaper(limits_.bus)
                .Apply("org.cinnamon.desktop.background", { "picture-uri" }, uri.get());
            break;
        case DesktopKind::Mate:
            GSettingsWallpaper(limits_.bus)
                .Apply("org.mate.background", { "picture-filename" }, path);
            break;
        case DesktopKind::Xfce:
            if (SessionBus* session = bus.Get())
                XfconfWallpaper(*session).Apply(path);
            break;
        case DesktopKind::Plasma:
            if (SessionBus* session = bus.Get())
                PlasmaWallpaper(*session).Apply(uri.get());
            break;
        case DesktopKind::Lxqt:
            // Without a mode the user's own stays.
            TimedProcess::Run({ "pcmanfm-qt", "--set-wallpaper", path }, limits_.process);
            break;
        case DesktopKind::Lxde:
            TimedProcess::Run({ "pcmanfm", "--set-wallpaper", path }, limits_.process);
            break;
        case DesktopKind::Other:
            FehWallpaper(FehbgPath(), limits_.process).Apply(path);
            break;
        }
    } catch (...) {
    }
}

} // namespace tarvenia
