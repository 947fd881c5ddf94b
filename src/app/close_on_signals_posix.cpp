#include "app/close_on_signals.h"

#include <cerrno>
#include <csignal>
#include <initializer_list>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace tarvenia {

namespace {

    int g_close_request[2] = { -1, -1 };

    // Writing a byte is the one thing the handler may do.
    void RequestClose(int)
    {
        const char byte = 1;
        [[maybe_unused]] ssize_t n = ::write(g_close_request[1], &byte, 1);
    }

} // namespace

int CloseRequestsOnSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_close_request) != 0)
        return -1;
    struct sigaction action = {};
    action.sa_handler = RequestClose;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : { SIGTERM, SIGHUP, SIGINT }) {
        struct sigaction inherited = {};
        if (::sigaction(signal, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
    return g_close_request[0];
}

void CallOnCloseSignals(std::function<void()> request)
{
    const int requests = CloseRequestsOnSignals();
    if (requests < 0)
        return;
    std::thread([requests, request = std::move(request)] {
        char byte;
        while (::read(requests, &byte, 1) < 0 && errno == EINTR) { }
        request();
    }).detach();
}

} // namespace tarvenia
