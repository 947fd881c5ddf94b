// A session bus of the test's own (dbus-daemon with the standard session
// configuration, so Xfconf is activated on demand), ended with the object.
// Services activated by it inherit the environment at construction.
#pragma once

#include <string>
#include <sys/types.h>

namespace tarvenia::testing {

class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // Empty when the daemon did not start.
    const std::string& address() const { return address_; }

private:
    pid_t pid_ = -1;
    std::string address_;
};

} // namespace tarvenia::testing
