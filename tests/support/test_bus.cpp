#include "support/test_bus.h"

#include <cstdlib>
#include <cstring>

namespace tarvenia::testing {

void UsePrivateUserFolders(const std::filesystem::path& root)
{
    namespace fs = std::filesystem;
    for (const char* variable : { "XDG_CONFIG_HOME:config", "HOME:home", "XDG_RUNTIME_DIR:runtime",
             "XDG_DATA_HOME:data" }) {
        const std::string name(variable, std::strchr(variable, ':'));
        const fs::path folder = root / (std::strchr(variable, ':') + 1);
        fs::create_directory(folder);
        fs::permissions(folder, fs::perms::owner_all);
        setenv(name.c_str(), folder.c_str(), 1);
    }
    const char* backend = std::getenv("TARVENIA_TEST_GSETTINGS_BACKEND");
    setenv("GSETTINGS_BACKEND", backend ? backend : "keyfile", 1);
    for (const char* name : { "DBUS_SESSION_BUS_ADDRESS", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
             "GSETTINGS_SCHEMA_DIR", "DISPLAY", "WAYLAND_DISPLAY" })
        unsetenv(name);
}

PrivateBus::PrivateBus()
    : daemon_({ "dbus-daemon", "--session", "--nofork", "--print-address=3" }, 3)
    , address_(daemon_.Line("", std::chrono::seconds(5)))
{
}

} // namespace tarvenia::testing
