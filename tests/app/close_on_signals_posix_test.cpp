// The signals that close the window, and those the program was told to
// ignore (nohup ignores SIGHUP).
#include "app/close_on_signals.h"

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>

namespace tarvenia {
namespace {

    TEST(CloseOnSignals, EachSignalRequestsACloseUnlessIgnoredAtStart)
    {
        struct Row {
            int signal;
            bool ignored_at_start;
        };
        for (const Row& row : { Row { SIGTERM, false }, Row { SIGHUP, false },
                 Row { SIGINT, false }, Row { SIGHUP, true }, Row { SIGTERM, true } }) {
            SCOPED_TRACE(::testing::Message()
                << "signal " << row.signal << " ignored " << row.ignored_at_start);
            for (int signal : { SIGTERM, SIGHUP, SIGINT })
                std::signal(signal, SIG_DFL);
            if (row.ignored_at_start)
                std::signal(row.signal, SIG_IGN);
            const int requests = CloseRequestsOnSignals();
            ASSERT_GE(requests, 0);
            // Handled before raise returns; left at its default it would end
            // the test.
            std::raise(row.signal);
            pollfd readable { requests, POLLIN, 0 };
            EXPECT_EQ(::poll(&readable, 1, 0), row.ignored_at_start ? 0 : 1);
            struct sigaction now = {};
            ::sigaction(row.signal, nullptr, &now);
            EXPECT_EQ(now.sa_handler == SIG_IGN, row.ignored_at_start);
        }
    }

} // namespace
} // namespace tarvenia
