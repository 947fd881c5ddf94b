// A session bus of the test's own (dbus-daemon with the standard session
// configuration, so Xfconf is activated on demand), ended with the object.
// Services activated by it inherit the environment at construction.
#pragma once

#include "support/child_process.h"

#include <filesystem>
#include <string>

namespace tarvenia::testing {

// Points every user folder (config, home, runtime, data) into folders made
// under `root` and unsets the real session's variables, so that nothing a
// test does reaches the real desktop; settings go to GSettings' keyfile store
// unless TARVENIA_TEST_GSETTINGS_BACKEND names another. To be called before
// anything reads them: GLib caches the user folders on first use.
void UsePrivateUserFolders(const std::filesystem::path& root);

class PrivateBus {
public:
    PrivateBus();

    // Empty when the daemon did not start.
    const std::string& address() const { return address_; }

private:
    ChildProcess daemon_;
    std::string address_;
};

} // namespace tarvenia::testing
