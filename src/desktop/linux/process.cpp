#include "desktop/linux/process.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tarvenia {

namespace {

    class SpawnSetup {
    public:
        SpawnSetup()
        {
            posix_spawnattr_init(&attributes_);
            posix_spawn_file_actions_init(&actions_);
            // Its own group, so that a script's children are killed with it;
            // no signal blocked or ignored by the window is passed on.
            posix_spawnattr_setflags(&attributes_,
                POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
            posix_spawnattr_setpgroup(&attributes_, 0);
            sigset_t none;
            sigemptyset(&none);
            posix_spawnattr_setsigmask(&attributes_, &none);
            sigset_t defaults;
            sigemptyset(&defaults);
            sigaddset(&defaults, SIGPIPE);
            sigaddset(&defaults, SIGCHLD);
            posix_spawnattr_setsigdefault(&attributes_, &defaults);
            posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
            posix_spawn_file_actions_addopen(&actions_, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions_, 2, "/dev/null", O_WRONLY, 0);
        }
        ~SpawnSetup()
        {
            posix_spawn_file_actions_destroy(&actions_);
            posix_spawnattr_destroy(&attributes_);
        }
        SpawnSetup(const SpawnSetup&) = delete;
        SpawnSetup& operator=(const SpawnSetup&) = delete;

        const posix_spawnattr_t* attributes() const { return &attributes_; }
        const posix_spawn_file_actions_t* actions() const { return &actions_; }

    private:
        posix_spawnattr_t attributes_;
        posix_spawn_file_actions_t actions_;
    };

} // namespace

bool TimedProcess::Run(const std::vector<std::string>& argv, std::chrono::milliseconds limit)
{
    if (argv.empty())
        return false;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    SpawnSetup setup;
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], setup.actions(), setup.attributes(), args.data(), environ) != 0)
        return false;

    const auto deadline = std::chrono::steady_clock::now() + limit;
    auto pause = std::chrono::milliseconds(1);
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0 && errno != EINTR)
            return false; // reaped elsewhere
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
    kill(-pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    return false;
}

} // namespace tarvenia
