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

bool DesktopWallpaperInstaller::Install(const std::string& bitmap_path) noexcept
{
    // Failures stay silent here: the window goes on whatever the desktop
    // did, and the window-less run reports the result.
    try {
        if (bitmap_path.empty())
            return false;
        // Desktops need an absolute path; the URI form escapes what URIs
        // cannot carry (spaces, '#', non-ASCII bytes).
        GCharPtr absolute(g_canonicalize_filename(bitmap_path.c_str(), nullptr));
        GCharPtr uri(g_filename_to_uri(absolute.get(), nullptr, nullptr));
        if (!uri)
            return false;
        const std::string path = absolute.get();

        LazyBus bus(limits_.bus);
        switch (DetectWith(bus)) {
        case DesktopKind::Gnome:
            return GSettingsWallpaper(limits_.bus)
                .Apply("org.gnome.desktop.background", { "picture-uri", "picture-uri-dark" },
                    uri.get());
        case DesktopKind::Cinnamon:
            return GSettingsWallpaper(limits_.bus)
                .Apply("org.cinnamon.desktop.background", { "picture-uri" }, uri.get());
        case DesktopKind::Mate:
            return GSettingsWallpaper(limits_.bus)
                .Apply("org.mate.background", { "picture-filename" }, path);
        case DesktopKind::Xfce: {
            SessionBus* session = bus.Get();
            return session && XfconfWallpaper(*session).Apply(path);
        }
        case DesktopKind::Plasma: {
            SessionBus* session = bus.Get();
            return session && PlasmaWallpaper(*session).Apply(uri.get());
        }
        case DesktopKind::Lxqt:
            // Without a mode the user's own stays.
            return TimedProcess::Run({ "pcmanfm-qt", "--set-wallpaper", path }, limits_.process);
        case DesktopKind::Lxde:
            return TimedProcess::Run({ "pcmanfm", "--set-wallpaper", path }, limits_.process);
        case DesktopKind::Other:
            return FehWallpaper(FehbgPath(), limits_.process).Apply(path);
        }
    } catch (...) {
    }
    return false;
}

} // namespace tarvenia
