// The worker's hand-over to the Qt main thread: long series of calls with
// either side slower than the other (a lost wake-up would hang the series),
// errors carried back to the worker, and a call whose receiver goes away.
#include "base/error.h"
#include "window/qt/qt_main_thread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using tarvenia::qt::QtMainThread;
using namespace std::chrono_literals;

// Runs `body` on a worker thread while this thread runs a Qt event loop, for
// at most `limit`. False when the worker did not finish in time; it is then
// left behind, and so is `main_thread`, which it may still use.
bool RunWorker(std::unique_ptr<QtMainThread>& main_thread, std::function<void()> body,
    std::chrono::milliseconds limit)
{
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread worker([body = std::move(body), done] {
        body();
        done->store(true);
    });
    QEventLoop loop;
    QTimer poll;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done->load() || std::chrono::steady_clock::now() > deadline)
            loop.quit();
    });
    poll.start(5);
    loop.exec();
    if (!done->load()) {
        worker.detach();
        main_thread.release();
        return false;
    }
    worker.join();
    return true;
}

struct SeriesCase {
    const char* name;
    int calls;
    std::chrono::microseconds main_pause; // inside each call, on the main thread
    std::chrono::microseconds worker_pause; // before each call, on the worker
    int throw_every; // 0: no call throws
};

TEST(QtMainThreadHandOver, SeriesOfCallsRunInOrderOnTheMainThread)
{
    const SeriesCase cases[] = {
        { "back to back", 20000, 0us, 0us, 0 },
        { "main thread slower than the worker watches", 300, 300us, 0us, 0 },
        { "worker slower than the main thread watches", 300, 0us, 300us, 0 },
        { "every third call throws", 3000, 0us, 0us, 3 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto main_thread = std::make_unique<QtMainThread>();
        const auto main_id = std::this_thread::get_id();
        // Written on the main thread only; read by the worker after each
        // call returned, and by the test after the worker ended.
        auto ran = std::make_shared<int>(0);
        auto off_main = std::make_shared<int>(0);
        auto out_of_order = std::make_shared<int>(0);
        auto caught = std::make_shared<std::vector<std::string>>();
        QtMainThread* target = main_thread.get();
        bool finished = RunWorker(
            main_thread,
            [=] {
                for (int i = 0; i < c.calls; ++i) {
                    if (c.worker_pause > 0us)
                        std::this_thread::sleep_for(c.worker_pause);
                    try {
                        target->RunAndWait([&] {
                            if (std::this_thread::get_id() != main_id)
                                ++*off_main;
                            if (*ran != i)
                                ++*out_of_order;
                            ++*ran;
                            if (c.main_pause > 0us)
                                std::this_thread::sleep_for(c.main_pause);
                            if (c.throw_every > 0 && i % c.throw_every == 0)
                                throw tarvenia::Error("call " + std::to_string(i));
                        });
                    } catch (const tarvenia::Error& e) {
                        caught->push_back(e.what());
                    }
                    // The call has run by the time the worker goes on.
                    if (*ran != i + 1)
                        ++*out_of_order;
                }
            },
            20s);
        ASSERT_TRUE(finished) << "hand-overs still waiting after 20 s";
        EXPECT_EQ(*ran, c.calls);
        EXPECT_EQ(*off_main, 0);
        EXPECT_EQ(*out_of_order, 0);
        if (c.throw_every > 0) {
            ASSERT_EQ(caught->size(), std::size_t((c.calls + c.throw_every - 1) / c.throw_every));
            EXPECT_EQ(caught->front(), "call 0");
            EXPECT_EQ(caught->back(),
                "call " + std::to_string((c.calls - 1) / c.throw_every * c.throw_every));
        } else {
            EXPECT_TRUE(caught->empty());
        }
    }
}

TEST(QtMainThreadHandOver, TwoWorkersAtOnceEachGetTheirOwnAnswer)
{
    auto main_thread = std::make_unique<QtMainThread>();
    QtMainThread* target = main_thread.get();
    auto sums = std::make_shared<std::vector<long>>(2, 0);
    bool finished = RunWorker(
        main_thread,
        [=] {
            std::thread second([=] {
                for (int i = 0; i < 5000; ++i)
                    target->RunAndWait([&] { (*sums)[1] += 2; });
            });
            for (int i = 0; i < 5000; ++i)
                target->RunAndWait([&] { (*sums)[0] += 1; });
            second.join();
        },
        20s);
    ASSERT_TRUE(finished);
    EXPECT_EQ((*sums)[0], 5000);
    EXPECT_EQ((*sums)[1], 10000);
}

TEST(QtMainThreadHandOver, ACallWhoseReceiverIsDestroyedReleasesTheWorker)
{
    auto* main_thread = new QtMainThread;
    auto asked = std::make_shared<std::atomic<bool>>(false);
    auto returned = std::make_shared<std::atomic<bool>>(false);
    auto ran = std::make_shared<std::atomic<bool>>(false);
    std::thread worker([=] {
        asked->store(true);
        main_thread->RunAndWait([=] { ran->store(true); });
        returned->store(true);
    });
    while (!asked->load())
        std::this_thread::yield();
    // Long enough for the call to be posted and the worker to wait; no
    // event is handled meanwhile.
    std::this_thread::sleep_for(100ms);
    delete main_thread;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!returned->load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    if (!returned->load()) {
        worker.detach();
        FAIL() << "the worker still waits for a call that can no longer run";
    }
    worker.join();
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran->load());
}

} // namespace
