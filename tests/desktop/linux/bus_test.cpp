// Xfconf (the real daemon) and Plasma (a stand-in) on private session buses,
// and desktops that are missing or never answer.
#include "desktop/linux/bus.h"
#include "desktop/linux/gobject_ptr.h"
#include "desktop/linux/installer.h"
#include "desktop/linux/plasma.h"
#include "desktop/linux/process.h"
#include "desktop/linux/xfconf.h"
#include "support/fake_service.h"
#include "support/scoped_variable.h"
#include "support/silent_socket.h"
#include "support/temp_folder.h"
#include "support/test_bus.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarvenia {
namespace {

    using namespace std::chrono_literals;
    using testing::FakeService;
    using testing::PrivateBus;
    using testing::ReadFileBytes;
    using testing::ScopedVariable;
    using testing::SilentSocket;
    using testing::WriteFileBytes;

    const char* const kPlasmaXml = "<node><interface name='org.kde.PlasmaShell'>"
                                   "<method name='evaluateScript'><arg type='s' direction='in'/>"
                                   "<arg type='s' direction='out'/></method>"
                                   "</interface></node>";
    const char* const kXfconfXml
        = "<node><interface name='org.xfce.Xfconf'>"
          "<method name='GetAllProperties'><arg type='s' direction='in'/>"
          "<arg type='s' direction='in'/><arg type='a{sv}' direction='out'/>"
          "</method></interface></node>";

    std::string TestFolder()
    {
        const std::string folder = std::string(std::getenv("HOME")) + "/"
            + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::create_directories(folder);
        return folder;
    }

    std::chrono::milliseconds Elapsed(std::chrono::steady_clock::time_point start)
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
    }

    // ---- pure rules -------------------------------------------------------

    struct TargetCase {
        const char* name;
        std::vector<std::string> existing;
        std::vector<std::string> expected;
    };

    TEST(XfconfWallpaper, TargetsEveryImagePropertyOrTheFirstWorkspace)
    {
        const std::string p = "/backdrop/screen0/";
        const TargetCase cases[] = {
            { "fresh channel", {}, { p + "monitor0/workspace0/last-image" } },
            { "existing images only, styles untouched",
                { p + "monitor0/workspace0/last-image", p + "monitor0/workspace0/image-style",
                    p + "monitor0/workspace1/last-image", p + "monitorHDMI-1/workspace0/last-image",
                    p + "monitor0/image-path", "/backdrop/single-workspace-mode" },
                { p + "monitor0/image-path", p + "monitor0/workspace0/last-image",
                    p + "monitor0/workspace1/last-image",
                    p + "monitorHDMI-1/workspace0/last-image" } },
            { "monitor names the desktop already uses",
                { p + "monitoreDP-1/workspace0/color-style", p + "monitoreDP-1/workspace0/rgba1",
                    p + "monitoreDP-1/workspace2/color-style",
                    p + "monitorDP-2/workspace0/image-style" },
                { p + "monitorDP-2/workspace0/last-image",
                    p + "monitoreDP-1/workspace0/last-image" } },
            { "look-alikes are not images",
                { p + "monitor0/workspace0/last-image-old", "/backdrop/last-image" },
                { p + "monitor0/workspace0/last-image" } },
        };
        for (const TargetCase& c : cases)
            EXPECT_EQ(XfconfWallpaper::TargetProperties(c.existing), c.expected) << c.name;
    }

    TEST(PlasmaWallpaper, ScriptChangesOnlySinglePictureDesktops)
    {
        if (!GCharPtr(g_find_program_in_path("node")))
            GTEST_SKIP() << "no JavaScript interpreter to run the script";
        const std::string folder = TestFolder();
        const std::string out = folder + "/writes.json";
        // Quotes and backslashes must survive the literal.
        const std::string uri = "file:///home/u/a\"b\\c.bmp";
        WriteFileBytes(folder + "/run.js",
            "function mk(p) { return { wallpaperPlugin: p, currentConfigGroup: [], writes: [],\n"
            "  writeConfig: function (k, v) { this.writes.push([this.currentConfigGroup.join('/'), "
            "k, v]); } }; }\n"
            "var ds = [mk('org.kde.image'), mk('org.kde.slideshow'), mk('org.kde.potd'), "
            "mk('org.kde.image')];\n"
            "function desktops() { return ds; }\n"
                + PlasmaWallpaper::Script(uri) + "require('fs').writeFileSync('" + out
                + "', JSON.stringify(ds.map(function (d) { return d.writes; })));\n");
        ASSERT_TRUE(TimedProcess::Run({ "node", folder + "/run.js" }, 5000ms));
        const std::string g = "\"Wallpaper/org.kde.image/General\",\"Image\",";
        const std::string image = "[[" + g + "\"\"],[" + g + "\"file:///home/u/a\\\"b\\\\c.bmp\"]]";
        EXPECT_EQ(ReadFileBytes(out), "[" + image + ",[],[]," + image + "]");
    }

    // ---- Xfconf, the real daemon ---------------------------------------------

    const char* const kDesktopChannel = R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-desktop" version="1.0">
  <property name="backdrop" type="empty">
    <property name="screen0" type="empty">
      <property name="monitor0" type="empty">
        <property name="image-path" type="string" value="/old/legacy.jpg"/>
        <property name="workspace0" type="empty">
          <property name="last-image" type="string" value="/old/a.jpg"/>
          <property name="image-style" type="int" value="4"/>
        </property>
        <property name="workspace1" type="empty">
          <property name="last-image" type="string" value="/old/b.jpg"/>
        </property>
      </property>
      <property name="monitorHDMI-1" type="empty">
        <property name="workspace0" type="empty">
          <property name="last-image" type="string" value="/old/c.jpg"/>
          <property name="image-style" type="int" value="5"/>
        </property>
      </property>
    </property>
    <property name="single-workspace-mode" type="bool" value="true"/>
  </property>
</channel>
)";

    class XfconfDesktop : public ::testing::Test {
    protected:
        void SetUp() override
        {
            folder_ = TestFolder();
            bitmap_ = folder_ + "/qndelar.bmp";
            WriteFileBytes(bitmap_, "BM");
            // xfconfd is started by the bus and takes its folders from it.
            config_.emplace("XDG_CONFIG_HOME", folder_ + "/config");
            std::filesystem::create_directories(
                folder_ + "/config/xfce4/xfconf/xfce-perchannel-xml");
        }
        void StartBus()
        {
            bus_ = std::make_unique<PrivateBus>();
            ASSERT_FALSE(bus_->address().empty());
            address_.emplace("DBUS_SESSION_BUS_ADDRESS", bus_->address());
            desktop_.emplace("XDG_CURRENT_DESKTOP", "XFCE");
            connection_.reset(g_dbus_connection_new_for_address_sync(bus_->address().c_str(),
                static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT
                    | G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                nullptr, nullptr, nullptr));
            ASSERT_TRUE(connection_);
        }
        void TearDown() override
        {
            if (connection_)
                g_dbus_connection_close_sync(connection_.get(), nullptr, nullptr);
            connection_.reset();
            bus_.reset();
        }

        // The value as the daemon holds it: a string, a number, or "(none)".
        std::string Property(const std::string& name)
        {
            GVariantPtr reply(g_dbus_connection_call_sync(connection_.get(), "org.xfce.Xfconf",
                "/org/xfce/Xfconf", "org.xfce.Xfconf", "GetProperty",
                g_variant_new("(ss)", "xfce4-desktop", name.c_str()), G_VARIANT_TYPE("(v)"),
                G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr));
            if (!reply)
                return "(none)";
            GVariantPtr boxed(g_variant_get_child_value(reply.get(), 0));
            GVariantPtr value(g_variant_get_variant(boxed.get()));
            if (g_variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING))
                return g_variant_get_string(value.get(), nullptr);
            GCharPtr printed(g_variant_print(value.get(), FALSE));
            return printed.get();
        }

        std::string folder_;
        std::string bitmap_;
        std::optional<ScopedVariable> config_;
        std::optional<ScopedVariable> address_;
        std::optional<ScopedVariable> desktop_;
        std::unique_ptr<PrivateBus> bus_;
        GObjectPtr<GDBusConnection> connection_;
    };

    TEST_F(XfconfDesktop, EveryExistingImageIsReplacedAndStylesStay)
    {
        WriteFileBytes(folder_ + "/config/xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml",
            kDesktopChannel);
        StartBus();
        EXPECT_TRUE(DesktopWallpaperInstaller().Install(bitmap_));

        const std::string p = "/backdrop/screen0/";
        for (const char* name :
            { "monitor0/workspace0/last-image", "monitor0/workspace1/last-image",
                "monitorHDMI-1/workspace0/last-image", "monitor0/image-path" })
            EXPECT_EQ(Property(p + name), bitmap_) << name;
        EXPECT_EQ(Property(p + "monitor0/workspace0/image-style"), "4");
        EXPECT_EQ(Property(p + "monitorHDMI-1/workspace0/image-style"), "5");
        EXPECT_EQ(Property("/backdrop/single-workspace-mode"), "true");
        EXPECT_EQ(Property(p + "monitorHDMI-1/workspace1/last-image"), "(none)");
    }

    TEST_F(XfconfDesktop, AFreshChannelGetsTheFirstWorkspaceImage)
    {
        StartBus();
        DesktopWallpaperInstaller().Install(bitmap_);
        EXPECT_EQ(Property("/backdrop/screen0/monitor0/workspace0/last-image"), bitmap_);
        EXPECT_EQ(Property("/backdrop/screen0/monitor0/workspace0/image-style"), "(none)");
    }

    struct Changes {
        std::string property;
        std::vector<std::string> values;
    };

    void OnPropertyChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
        GVariant* parameters, gpointer data)
    {
        auto* changes = static_cast<Changes*>(data);
        const gchar* property = nullptr;
        GVariant* value = nullptr;
        g_variant_get(parameters, "(&s&sv)", nullptr, &property, &value);
        GVariantPtr owned(value);
        if (changes->property == property && g_variant_is_of_type(value, G_VARIANT_TYPE_STRING))
            changes->values.push_back(g_variant_get_string(value, nullptr));
    }

    gboolean Raise(gpointer flag)
    {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
    }

    TEST_F(XfconfDesktop, TheSamePathAgainIsAnnouncedAsAChange)
    {
        StartBus();
        Changes changes { "/backdrop/screen0/monitor0/workspace0/last-image", {} };
        const guint subscription = g_dbus_connection_signal_subscribe(connection_.get(), nullptr,
            "org.xfce.Xfconf", "PropertyChanged", "/org/xfce/Xfconf", nullptr,
            G_DBUS_SIGNAL_FLAGS_NONE, OnPropertyChanged, &changes, nullptr);
        Property(changes.property); // the match rule is in place once this returns

        // The daemon announces from an idle callback, after it has answered:
        // each Install's announcements are awaited, then a moment for any
        // that should not be there.
        auto collect = [&](std::size_t count, std::chrono::milliseconds limit) {
            bool expired = false;
            const guint timer = g_timeout_add(static_cast<guint>(limit.count()), Raise, &expired);
            while (changes.values.size() < count && !expired)
                g_main_context_iteration(nullptr, TRUE);
            if (!expired)
                g_source_remove(timer);
        };
        DesktopWallpaperInstaller().Install(bitmap_);
        collect(1, 10s);
        DesktopWallpaperInstaller().Install(bitmap_);
        collect(3, 10s);
        collect(4, 100ms);
        g_dbus_connection_signal_unsubscribe(connection_.get(), subscription);

        // A desktop that reloads on announcements sees the second Install.
        EXPECT_EQ(changes.values, (std::vector<std::string> { bitmap_, "", bitmap_ }));
    }

    // ---- Plasma, a stand-in shell ----------------------------------------

    class BusDesktop : public ::testing::Test {
    protected:
        void SetUp() override
        {
            folder_ = TestFolder();
            bitmap_ = folder_ + "/qndelar.bmp";
            ASSERT_FALSE(bus_.address().empty());
            address_.emplace("DBUS_SESSION_BUS_ADDRESS", bus_.address());
        }
        std::string folder_;
        std::string bitmap_;
        PrivateBus bus_;
        std::optional<ScopedVariable> address_;
    };

    TEST_F(BusDesktop, PlasmaShellGetsTheGuardedScript)
    {
        FakeService shell(bus_.address(), "org.kde.plasmashell", "/PlasmaShell", kPlasmaXml,
            FakeService::Mode::Answer);
        ASSERT_TRUE(shell.ready());
        ScopedVariable desktop("XDG_CURRENT_DESKTOP", "KDE");
        EXPECT_TRUE(DesktopWallpaperInstaller().Install(bitmap_));

        const auto calls = shell.calls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].method, "evaluateScript");
        EXPECT_EQ(calls[0].first_string, PlasmaWallpaper::Script("file://" + bitmap_));
        EXPECT_NE(
            calls[0].first_string.find("wallpaperPlugin !== \"org.kde.image\""), std::string::npos);
    }

    TEST_F(BusDesktop, WithoutVariablesARunningShellIsFound)
    {
        ScopedVariable desktop("XDG_CURRENT_DESKTOP", nullptr);
        ScopedVariable session("DESKTOP_SESSION", nullptr);
        // Xfconf can be started by the bus but is not running: it does not count.
        EXPECT_EQ(DesktopWallpaperInstaller().Detect(), DesktopKind::Gnome);
        FakeService shell(bus_.address(), "org.kde.plasmashell", "/PlasmaShell", kPlasmaXml,
            FakeService::Mode::Answer);
        ASSERT_TRUE(shell.ready());
        EXPECT_EQ(DesktopWallpaperInstaller().Detect(), DesktopKind::Plasma);
    }

    // ---- desktops that are missing or hang --------------------------------
    // The bounds lie far above the installer's 2 s limit and far below
    // D-Bus's own 25 s: only a wait without the limit fails them, not a
    // loaded machine.

    struct HangCase {
        const char* name;
        const char* desktop;
        const char* service; // played silently, or null
        const char* object_path;
        const char* xml;
        std::chrono::milliseconds at_most;
    };

    TEST_F(BusDesktop, MissingOrHungServicesCostAtMostTheLimit)
    {
        const HangCase cases[] = {
            { "no shell on the bus", "KDE", nullptr, nullptr, nullptr, 10000ms },
            { "shell never answers", "KDE", "org.kde.plasmashell", "/PlasmaShell", kPlasmaXml,
                10000ms },
            { "xfconf never answers", "XFCE", "org.xfce.Xfconf", "/org/xfce/Xfconf", kXfconfXml,
                10000ms },
        };
        for (const HangCase& c : cases) {
            std::unique_ptr<FakeService> service;
            if (c.service) {
                service = std::make_unique<FakeService>(
                    bus_.address(), c.service, c.object_path, c.xml, FakeService::Mode::Silent);
                ASSERT_TRUE(service->ready()) << c.name;
            }
            ScopedVariable desktop("XDG_CURRENT_DESKTOP", c.desktop);
            const auto start = std::chrono::steady_clock::now();
            const bool accepted = DesktopWallpaperInstaller().Install(bitmap_);
            const auto took = Elapsed(start);
            EXPECT_FALSE(accepted) << c.name;
            EXPECT_LT(took, c.at_most) << c.name;
            if (service) {
                EXPECT_EQ(service->calls().size(), 1u)
                    << c.name << ": stops after the first silence";
            }
            std::printf("[ figures  ] %s: Install returned after %lld ms\n", c.name,
                static_cast<long long>(took.count()));
        }
    }

    TEST(HungBus, InstallReturnsWithinTheLimit)
    {
        SilentSocket silent(TestFolder() + "/bus");
        for (const char* desktop : { "KDE", "XFCE" }) {
            ScopedVariable address("DBUS_SESSION_BUS_ADDRESS", silent.address());
            ScopedVariable variable("XDG_CURRENT_DESKTOP", desktop);
            const auto start = std::chrono::steady_clock::now();
            DesktopWallpaperInstaller().Install(TestFolder() + "/qndelar.bmp");
            const auto took = Elapsed(start);
            EXPECT_LT(took, 10000ms) << desktop;
            std::printf("[ figures  ] hung bus, %s: Install returned after %lld ms\n", desktop,
                static_cast<long long>(took.count()));
        }
    }

    TEST(NoBus, InstallReturnsAtOnce)
    {
        ScopedVariable address("DBUS_SESSION_BUS_ADDRESS", nullptr);
        ScopedVariable desktop("XDG_CURRENT_DESKTOP", "XFCE");
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(DesktopWallpaperInstaller().Install("/tmp/qndelar.bmp"));
        EXPECT_LT(Elapsed(start), 10000ms);
    }

} // namespace
} // namespace tarvenia
