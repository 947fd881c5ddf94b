// Answers about the running session from the session bus, the installed
// settings schemas and the user's home folder.
#pragma once

#include "desktop/linux/detection.h"

#include <chrono>
#include <functional>
#include <string>

namespace tarvenia {

class SessionBus;

class SystemDesktopProbe : public DesktopProbe {
public:
    // `bus` gives the session bus when first needed (it may give none).
    SystemDesktopProbe(std::function<SessionBus*()> bus, std::string fehbg_path);

    bool HasRunningService(const std::string& bus_name) override;
    bool HasSchema(const std::string& schema_id) override;
    bool HasFehSetup() override;

private:
    std::function<SessionBus*()> bus_;
    std::string fehbg_path_;
};

} // namespace tarvenia
