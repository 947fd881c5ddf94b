#include "desktop/linux/system_probe.h"

#include "desktop/linux/bus.h"
#include "desktop/linux/gsettings.h"

#include <glib.h>

namespace tarvenia {

SystemDesktopProbe::SystemDesktopProbe(std::function<SessionBus*()> bus, std::string fehbg_path)
    : bus_(std::move(bus))
    , fehbg_path_(std::move(fehbg_path))
{
}

bool SystemDesktopProbe::HasRunningService(const std::string& bus_name)
{
    SessionBus* bus = bus_();
    return bus && bus->NameHasOwner(bus_name);
}

bool SystemDesktopProbe::HasSchema(const std::string& schema_id)
{
    return GSettingsWallpaper::HasSchema(schema_id.c_str());
}

bool SystemDesktopProbe::HasFehSetup()
{
    return !fehbg_path_.empty() && g_file_test(fehbg_path_.c_str(), G_FILE_TEST_IS_REGULAR);
}

} // namespace tarvenia
