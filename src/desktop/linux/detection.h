// Which desktop the user runs, hence which of its settings holds the
// wallpaper.
#pragma once

#include <string>
#include <string_view>

namespace tarvenia {

enum class DesktopKind {
    Gnome, // GNOME and the desktops that share its background settings
    Cinnamon,
    Mate,
    Xfce,
    Plasma,
    Lxqt,
    Lxde,
    Other, // window managers without a desktop: feh where it is set up
};

const char* DesktopKindName(DesktopKind kind) noexcept;

// Answers about the running session, asked only when the session variables
// are missing.
class DesktopProbe {
public:
    virtual ~DesktopProbe() = default;
    // A process owns the bus name now (an activatable service that is not
    // running does not count).
    virtual bool HasRunningService(const std::string& bus_name) = 0;
    virtual bool HasSchema(const std::string& schema_id) = 0;
    virtual bool HasFehSetup() = 0;
};

// current_desktop is XDG_CURRENT_DESKTOP (a colon-separated list such as
// "ubuntu:GNOME"), session is DESKTOP_SESSION ("plasma", "xubuntu",
// "/usr/share/xsessions/plasma" from old display managers). Both are matched
// case-insensitively by substring; the probe decides only when both are empty.
DesktopKind DetectDesktop(
    std::string_view current_desktop, std::string_view session, DesktopProbe& probe);

} // namespace tarvenia
