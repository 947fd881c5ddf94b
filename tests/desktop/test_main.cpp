// The wallpaper tests run against real settings stores and buses, so before
// anything else (GLib caches the user folders on first use) every user folder
// points into a temporary tree and no session variable of the real user is
// left: nothing the tests do can reach the real desktop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>

int main(int argc, char** argv)
{
    char root_template[] = "/tmp/tarvenia-wallpaper-XXXXXX";
    const char* root = mkdtemp(root_template);
    if (!root)
        return 2;
    for (const char* sub : { "config", "home", "runtime", "data" }) {
        const std::string folder = std::string(root) + "/" + sub;
        mkdir(folder.c_str(), 0700);
    }
    setenv("XDG_CONFIG_HOME", (std::string(root) + "/config").c_str(), 1);
    setenv("HOME", (std::string(root) + "/home").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (std::string(root) + "/runtime").c_str(), 1);
    setenv("XDG_DATA_HOME", (std::string(root) + "/data").c_str(), 1);
    // The keyfile store unless a test run asks for another one.
    const char* backend = std::getenv("TARVENIA_TEST_GSETTINGS_BACKEND");
    setenv("GSETTINGS_BACKEND", backend ? backend : "keyfile", 1);
    for (const char* name : { "DBUS_SESSION_BUS_ADDRESS", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
             "GSETTINGS_SCHEMA_DIR", "DISPLAY", "WAYLAND_DISPLAY" })
        unsetenv(name);

    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return result;
}
