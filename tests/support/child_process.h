// A program started by a test (POSIX): one of its descriptors is piped back
// to the test, its other standard ones go to /dev/null, and it is ended with
// the object.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tarvenia::testing {

class ChildProcess {
public:
    // `output_fd` is the child's descriptor whose writes the test reads: 1
    // for its standard output, 3 for options such as --print-address=3.
    ChildProcess(const std::vector<std::string>& argv, int output_fd);
    // Terminates it when it still runs, killing it after 2 s.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The rest of the first output line that starts with `prefix`, read for
    // at most `limit`; "" when none came.
    std::string Line(const std::string& prefix, std::chrono::milliseconds limit);
    // Sends SIGTERM; the exit status (128 + the signal when one ended it),
    // or -1 when it did not end within `limit`.
    int Terminate(std::chrono::milliseconds limit);

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string seen_; // output read and not yet taken by Line
};

} // namespace tarvenia::testing
