#include "desktop/linux/detection.h"

#include <gtest/gtest.h>

#include <set>

namespace tarvenia {
namespace {

    class FakeProbe : public DesktopProbe {
    public:
        std::set<std::string> services;
        std::set<std::string> schemas;
        bool feh = false;
        int questions = 0;

        bool HasRunningService(const std::string& name) override
        {
            ++questions;
            return services.count(name) > 0;
        }
        bool HasSchema(const std::string& id) override
        {
            ++questions;
            return schemas.count(id) > 0;
        }
        bool HasFehSetup() override
        {
            ++questions;
            return feh;
        }
    };

    struct VariableCase {
        const char* current_desktop;
        const char* session;
        DesktopKind expected;
    };

    // The values real sessions set, as display managers and session scripts
    // write them.
    const VariableCase kVariableCases[] = {
        { "GNOME", "gnome", DesktopKind::Gnome },
        { "ubuntu:GNOME", "ubuntu", DesktopKind::Gnome },
        { "GNOME-Classic:GNOME", "gnome-classic", DesktopKind::Gnome },
        { "GNOME-Flashback:GNOME", "", DesktopKind::Gnome },
        { "Unity", "ubuntu", DesktopKind::Gnome },
        { "Unity:Unity7:ubuntu", "", DesktopKind::Gnome },
        { "Budgie:GNOME", "budgie-desktop", DesktopKind::Gnome },
        { "Pantheon", "pantheon", DesktopKind::Gnome },
        { "X-Cinnamon", "cinnamon", DesktopKind::Cinnamon },
        { "MATE", "mate", DesktopKind::Mate },
        { "MATE", "ubuntu-mate", DesktopKind::Mate },
        { "XFCE", "xfce", DesktopKind::Xfce },
        { "XFCE", "xubuntu", DesktopKind::Xfce },
        { "KDE", "plasma", DesktopKind::Plasma },
        { "KDE", "plasmawayland", DesktopKind::Plasma },
        { "LXQt", "lxqt", DesktopKind::Lxqt },
        { "LXQt", "Lubuntu", DesktopKind::Lxqt },
        { "LXDE", "LXDE", DesktopKind::Lxde },
        { "LXDE-pi", "LXDE-pi", DesktopKind::Lxde },
        { "i3", "i3", DesktopKind::Other },
        { "sway", "", DesktopKind::Other },
        // Only the session name (startx scripts, old display managers).
        { "", "gnome-xorg", DesktopKind::Gnome },
        { "", "cinnamon", DesktopKind::Cinnamon },
        { "", "mate", DesktopKind::Mate },
        { "", "xfce", DesktopKind::Xfce },
        { "", "/usr/share/xsessions/plasma", DesktopKind::Plasma },
        { "", "kde-plasma", DesktopKind::Plasma },
        { "", "Lubuntu", DesktopKind::Lxqt },
        { "", "LXDE", DesktopKind::Lxde },
        { "", "openbox", DesktopKind::Other },
        // An unknown desktop name leaves the choice to the session name.
        { "X-Generic", "xfce", DesktopKind::Xfce },
    };

    TEST(DetectDesktop, SessionVariablesDecideWithoutAskingTheSystem)
    {
        for (const VariableCase& c : kVariableCases) {
            FakeProbe probe;
            probe.services = { "org.kde.plasmashell", "org.xfce.Xfconf" };
            probe.feh = true;
            EXPECT_EQ(DetectDesktop(c.current_desktop, c.session, probe), c.expected)
                << "XDG_CURRENT_DESKTOP=" << c.current_desktop << " DESKTOP_SESSION=" << c.session;
            EXPECT_EQ(probe.questions, 0) << c.current_desktop << " / " << c.session;
        }
    }

    struct ProbeCase {
        const char* name;
        std::set<std::string> services;
        std::set<std::string> schemas;
        bool feh;
        DesktopKind expected;
    };

    TEST(DetectDesktop, WithoutVariablesRunningServicesThenFehThenSchemasDecide)
    {
        const std::string gnome = "org.gnome.desktop.background";
        const ProbeCase cases[] = {
            { "plasma shell running", { "org.kde.plasmashell", "org.xfce.Xfconf" }, { gnome }, true,
                DesktopKind::Plasma },
            { "xfconf running", { "org.xfce.Xfconf" }, { gnome }, true, DesktopKind::Xfce },
            { "feh set up", {}, { gnome }, true, DesktopKind::Other },
            { "only the schema", {}, { gnome }, false, DesktopKind::Gnome },
            { "nothing at all", {}, {}, false, DesktopKind::Other },
        };
        for (const ProbeCase& c : cases) {
            FakeProbe probe;
            probe.services = c.services;
            probe.schemas = c.schemas;
            probe.feh = c.feh;
            EXPECT_EQ(DetectDesktop("", "", probe), c.expected) << c.name;
        }
    }

} // namespace
} // namespace tarvenia
