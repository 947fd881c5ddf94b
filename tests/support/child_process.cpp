#include "support/child_process.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tarvenia::testing {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, int output_fd)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Closed first: the read end may itself be the descriptor wanted.
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_adddup2(&actions, fds[1], output_fd);
    for (int fd : { 0, 1, 2 })
        if (fd != output_fd)
            posix_spawn_file_actions_addopen(
                &actions, fd, "/dev/null", fd ? O_WRONLY : O_RDONLY, 0);
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    if (posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    output_ = fds[0];
}

ChildProcess::~ChildProcess()
{
    if (pid_ > 0 && Terminate(std::chrono::seconds(2)) < 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0)
        ::close(output_);
}

std::string ChildProcess::Line(const std::string& prefix, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        for (std::size_t start = 0, end; (end = seen_.find('\n', start)) != std::string::npos;
             start = end + 1)
            if (seen_.compare(start, prefix.size(), prefix) == 0) {
                std::string rest = seen_.substr(start + prefix.size(), end - start - prefix.size());
                seen_.erase(0, end + 1);
                return rest;
            }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd wait { output_, POLLIN, 0 };
        if (pid_ <= 0 || left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0)
            return "";
        char buffer[256];
        const ssize_t got = ::read(output_, buffer, sizeof buffer);
        if (got <= 0)
            return "";
        seen_.append(buffer, static_cast<std::size_t>(got));
    }
}

int ChildProcess::Terminate(std::chrono::milliseconds limit)
{
    if (pid_ <= 0)
        return -1;
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    do {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < deadline);
    return -1;
}

} // namespace tarvenia::testing
