#include "support/test_bus.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

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
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Closed first: the read end may itself be descriptor 3.
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char* argv[] = { const_cast<char*>("dbus-daemon"), const_cast<char*>("--session"),
        const_cast<char*>("--nofork"), const_cast<char*>("--print-address=3"), nullptr };
    const int spawned = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        pid_ = -1;
        close(fds[0]);
        return;
    }
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd wait { fds[0], POLLIN, 0 };
        if (poll(&wait, 1, 100) <= 0)
            continue;
        char buffer[256];
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        line.append(buffer, static_cast<std::size_t>(got));
    }
    close(fds[0]);
    if (const auto end = line.find('\n'); end != std::string::npos)
        address_ = line.substr(0, end);
}

PrivateBus::~PrivateBus()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

} // namespace tarvenia::testing
