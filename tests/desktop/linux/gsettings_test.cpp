// Real schemas, the keyfile store in the temporary configuration folder.
#include "desktop/linux/gobject_ptr.h"
#include "desktop/linux/installer.h"
#include "support/scoped_variable.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarvenia {
namespace {

    using testing::ScopedVariable;

    GObjectPtr<GSettings> Open(const char* schema_id)
    {
        GSettingsSchemaSource* source = g_settings_schema_source_get_default();
        GSettingsSchemaPtr schema(
            source ? g_settings_schema_source_lookup(source, schema_id, TRUE) : nullptr);
        if (!schema)
            return nullptr;
        return GObjectPtr<GSettings>(g_settings_new_full(schema.get(), nullptr, nullptr));
    }

    std::string Get(GSettings* settings, const char* key)
    {
        GCharPtr value(g_settings_get_string(settings, key));
        return value.get();
    }

    void Drain()
    {
        while (g_main_context_iteration(nullptr, FALSE)) { }
    }

    struct Watch {
        GSettings* settings;
        const char* key;
        std::vector<std::string> seen;
    };

    void OnChanged(GSettings* settings, const gchar* key, gpointer data)
    {
        auto* watch = static_cast<Watch*>(data);
        if (g_strcmp0(key, watch->key) == 0)
            watch->seen.push_back(Get(settings, key));
    }

    struct DesktopCase {
        const char* current_desktop;
        const char* schema;
        std::vector<const char*> keys;
        bool as_uri; // else a plain path
    };

    class GSettingsDesktops : public ::testing::Test {
    protected:
        void SetUp() override
        {
            // Spaces, '#' and non-ASCII letters all need escaping in a URI.
            folder_ = std::string(std::getenv("HOME")) + "/mis fotos #1 ñ";
            std::filesystem::create_directories(folder_);
            bitmap_ = folder_ + "/qndelar.bmp";
            testing::WriteFileBytes(bitmap_, "BM");
        }
        std::string folder_;
        std::string bitmap_;
    };

    const DesktopCase kCases[] = {
        { "GNOME", "org.gnome.desktop.background", { "picture-uri", "picture-uri-dark" }, true },
        { "ubuntu:GNOME", "org.gnome.desktop.background", { "picture-uri", "picture-uri-dark" },
            true },
        { "Budgie:GNOME", "org.gnome.desktop.background", { "picture-uri" }, true },
        { "X-Cinnamon", "org.cinnamon.desktop.background", { "picture-uri" }, true },
        { "MATE", "org.mate.background", { "picture-filename" }, false },
    };

    TEST_F(GSettingsDesktops, KeysHoldTheBitmapAndTheStyleStays)
    {
        const std::string uri = "file://" + folder_.substr(0, folder_.rfind('/'))
            + "/mis%20fotos%20%231%20%C3%B1/qndelar.bmp";
        for (const DesktopCase& c : kCases) {
            GObjectPtr<GSettings> settings = Open(c.schema);
            if (!settings) {
                ADD_FAILURE() << c.schema << " is not installed (see scripts/install-deps)";
                continue;
            }
            g_settings_set_string(settings.get(), "picture-options", "centered");
            for (const char* key : c.keys)
                g_settings_set_string(settings.get(), key, "file:///elsewhere.png");

            ScopedVariable desktop("XDG_CURRENT_DESKTOP", c.current_desktop);
            EXPECT_TRUE(DesktopWallpaperInstaller().Install(bitmap_)) << c.schema;
            Drain();

            for (const char* key : c.keys)
                EXPECT_EQ(Get(settings.get(), key), c.as_uri ? uri : bitmap_)
                    << c.schema << " " << key;
            GCharPtr style(g_settings_get_string(settings.get(), "picture-options"));
            EXPECT_STREQ(style.get(), "centered") << c.schema;
        }
    }

    TEST_F(GSettingsDesktops, TheStoreHoldsTheValueForTheNextProcess)
    {
        ScopedVariable desktop("XDG_CURRENT_DESKTOP", "GNOME");
        DesktopWallpaperInstaller().Install(bitmap_);
        const std::string keyfile
            = std::string(std::getenv("XDG_CONFIG_HOME")) + "/glib-2.0/settings/keyfile";
        const std::string stored = testing::ReadFileBytes(keyfile);
        EXPECT_NE(stored.find("[org/gnome/desktop/background]"), std::string::npos) << stored;
        EXPECT_NE(stored.find("qndelar.bmp"), std::string::npos) << stored;
    }

    TEST_F(GSettingsDesktops, TheSamePathAgainMakesTheDesktopReload)
    {
        for (const DesktopCase& c : kCases) {
            GObjectPtr<GSettings> settings = Open(c.schema);
            if (!settings)
                continue; // reported above
            ScopedVariable desktop("XDG_CURRENT_DESKTOP", c.current_desktop);
            DesktopWallpaperInstaller().Install(bitmap_);
            Drain();
            const std::string value = Get(settings.get(), c.keys[0]);

            Watch watch { settings.get(), c.keys[0], {} };
            const gulong handler
                = g_signal_connect(settings.get(), "changed", G_CALLBACK(OnChanged), &watch);
            DesktopWallpaperInstaller().Install(bitmap_);
            Drain();
            g_signal_handler_disconnect(settings.get(), handler);

            // A consumer that ignores writes of the value it has must still
            // see a change, and end on the bitmap.
            ASSERT_GE(watch.seen.size(), 2u) << c.schema;
            EXPECT_NE(watch.seen.front(), value) << c.schema;
            EXPECT_EQ(watch.seen.back(), value) << c.schema;
        }
    }

    TEST_F(GSettingsDesktops, AFileThatIsNotThereIsStillSet)
    {
        // Installing never examines the bitmap: the window wrote it just
        // before, and a relative path is made absolute.
        const std::filesystem::path old = std::filesystem::current_path();
        std::filesystem::current_path(folder_);
        ScopedVariable desktop("XDG_CURRENT_DESKTOP", "MATE");
        DesktopWallpaperInstaller().Install("later.bmp");
        std::filesystem::current_path(old);
        GObjectPtr<GSettings> settings = Open("org.mate.background");
        ASSERT_TRUE(settings);
        EXPECT_EQ(Get(settings.get(), "picture-filename"), folder_ + "/later.bmp");
    }

} // namespace
} // namespace tarvenia
