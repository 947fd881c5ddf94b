#include "desktop/linux/detection.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

namespace tarvenia {

namespace {

    struct Marker {
        std::string_view text; // lower case
        DesktopKind kind;
    };

    // Checked in this order, first match wins: derived sessions name their
    // parent too ("lubuntu" holds "ubuntu", "ubuntu-mate" holds "ubuntu"),
    // so the more specific markers come first.
    constexpr std::array kMarkers {
        Marker { "plasma", DesktopKind::Plasma },
        Marker { "kde", DesktopKind::Plasma },
        Marker { "cinnamon", DesktopKind::Cinnamon },
        Marker { "mate", DesktopKind::Mate },
        Marker { "xfce", DesktopKind::Xfce },
        Marker { "xubuntu", DesktopKind::Xfce },
        Marker { "lxqt", DesktopKind::Lxqt },
        Marker { "lubuntu", DesktopKind::Lxqt },
        Marker { "lxde", DesktopKind::Lxde },
        Marker { "gnome", DesktopKind::Gnome },
        Marker { "ubuntu", DesktopKind::Gnome },
        Marker { "unity", DesktopKind::Gnome },
        Marker { "budgie", DesktopKind::Gnome },
        Marker { "pantheon", DesktopKind::Gnome },
    };

    std::string Lower(std::string_view text)
    {
        std::string lower(text);
        std::transform(lower.begin(), lower.end(), lower.begin(),
            [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return lower;
    }

    std::optional<DesktopKind> Match(std::string_view variable)
    {
        const std::string lower = Lower(variable);
        for (const Marker& marker : kMarkers) {
            if (lower.find(marker.text) != std::string::npos)
                return marker.kind;
        }
        return std::nullopt;
    }

    DesktopKind Probe(DesktopProbe& probe)
    {
        // A running desktop service is the strongest sign; the background
        // schema is installed on many systems whose desktop never reads it,
        // so the user's own feh set-up comes before it. Cinnamon and MATE
        // sessions always name themselves.
        if (probe.HasRunningService("org.kde.plasmashell"))
            return DesktopKind::Plasma;
        if (probe.HasRunningService("org.xfce.Xfconf"))
            return DesktopKind::Xfce;
        if (probe.HasFehSetup())
            return DesktopKind::Other;
        if (probe.HasSchema("org.gnome.desktop.background"))
            return DesktopKind::Gnome;
        return DesktopKind::Other;
    }

} // namespace

const char* DesktopKindName(DesktopKind kind) noexcept
{
    switch (kind) {
    case DesktopKind::Gnome:
        return "gnome";
    case DesktopKind::Cinnamon:
        return "cinnamon";
    case DesktopKind::Mate:
        return "mate";
    case DesktopKind::Xfce:
        return "xfce";
    case DesktopKind::Plasma:
        return "plasma";
    case DesktopKind::Lxqt:
        return "lxqt";
    case DesktopKind::Lxde:
        return "lxde";
    case DesktopKind::Other:
        break;
    }
    return "other";
}

DesktopKind DetectDesktop(
    std::string_view current_desktop, std::string_view session, DesktopProbe& probe)
{
    if (auto kind = Match(current_desktop))
        return *kind;
    if (auto kind = Match(session))
        return *kind;
    if (current_desktop.empty() && session.empty())
        return Probe(probe);
    return DesktopKind::Other;
}

} // namespace tarvenia
