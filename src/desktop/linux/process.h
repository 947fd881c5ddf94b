// Running a desktop's own command-line tool without ever waiting on it for
// long.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace tarvenia {

class TimedProcess {
public:
    // Starts argv[0] (looked up in PATH) with the standard streams on
    // /dev/null, in a process group of its own, and waits for it at most
    // `limit`; past the limit the whole group is killed. True when it ended
    // by itself with status 0.
    static bool Run(const std::vector<std::string>& argv, std::chrono::milliseconds limit);
};

} // namespace tarvenia
