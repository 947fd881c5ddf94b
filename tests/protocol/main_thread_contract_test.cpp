// The workers' hand-over to the main thread: long series
// of calls with either side slower than the other (a lost wake-up would hang
// the series), errors carried back to the worker, two workers at once, and
// the main thread's own timers and paints running while calls stream as
// from a fast download. Instantiated with each MainThreadFrontEnd.
#include "main_thread_contract.h"

#include "base/error.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tarvenia::testing {
namespace {

    using namespace std::chrono_literals;

    // Runs `body` on a worker thread while the front-end's event loop runs,
    // for at most `limit`. False when the worker did not finish in time; it
    // is then left behind, and so is the front-end, which it may still use.
    bool RunWorker(std::unique_ptr<MainThreadFrontEnd>& front, std::function<void()> body,
        std::chrono::milliseconds limit)
    {
        auto done = std::make_shared<std::atomic<bool>>(false);
        std::thread worker([body = std::move(body), done] {
            body();
            done->store(true);
        });
        if (!front->RunUntil([done] { return done->load(); }, limit)) {
            worker.detach();
            static_cast<void>(front.release());
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

    TEST_P(MainThreadContract, SeriesOfCallsRunInOrderOnTheMainThread)
    {
        const SeriesCase cases[] = {
            { "back to back", 5000, 0us, 0us, 0 },
            { "main thread slower than the worker watches", 300, 300us, 0us, 0 },
            { "worker slower than the main thread watches", 300, 0us, 300us, 0 },
            { "every third call throws", 3000, 0us, 0us, 3 },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            const auto main_id = std::this_thread::get_id();
            // Written on the main thread only; read by the worker after each
            // call returned, and by the test after the worker ended.
            auto ran = std::make_shared<int>(0);
            auto off_main = std::make_shared<int>(0);
            auto out_of_order = std::make_shared<int>(0);
            auto caught = std::make_shared<std::vector<std::string>>();
            MainThread* target = &front_->Main();
            bool finished = RunWorker(
                front_,
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
                                    throw Error("call " + std::to_string(i));
                            });
                        } catch (const Error& e) {
                            caught->push_back(e.what());
                        }
                        // The call has run by the time the worker goes on.
                        if (*ran != i + 1)
                            ++*out_of_order;
                    }
                },
                45s);
            ASSERT_TRUE(finished) << "hand-overs still waiting after 45 s";
            EXPECT_EQ(*ran, c.calls);
            EXPECT_EQ(*off_main, 0);
            EXPECT_EQ(*out_of_order, 0);
            if (c.throw_every > 0) {
                ASSERT_EQ(
                    caught->size(), std::size_t((c.calls + c.throw_every - 1) / c.throw_every));
                EXPECT_EQ(caught->front(), "call 0");
                EXPECT_EQ(caught->back(),
                    "call " + std::to_string((c.calls - 1) / c.throw_every * c.throw_every));
            } else {
                EXPECT_TRUE(caught->empty());
            }
        }
    }

    TEST_P(MainThreadContract, TwoWorkersAtOnceEachGetTheirOwnAnswer)
    {
        MainThread* target = &front_->Main();
        auto sums = std::make_shared<std::vector<long>>(2, 0);
        bool finished = RunWorker(
            front_,
            [=] {
                std::thread second([=] {
                    for (int i = 0; i < 5000; ++i)
                        target->RunAndWait([&] { (*sums)[1] += 2; });
                });
                for (int i = 0; i < 5000; ++i)
                    target->RunAndWait([&] { (*sums)[0] += 1; });
                second.join();
            },
            45s);
        ASSERT_TRUE(finished);
        EXPECT_EQ((*sums)[0], 5000);
        EXPECT_EQ((*sums)[1], 10000);
    }

    TEST_P(MainThreadContract, TimersAndPaintsRunWhileCallsStream)
    {
        // A download hands over back to back for as long as it lasts; the
        // main thread must still serve its timers and paint its window. The
        // timer and the paint are asked for from inside the first call, so
        // they can only come while the calls stream; the worker stops once
        // both have come, or after 20 s.
        MainThreadFrontEnd* front = front_.get();
        auto ticked = std::make_shared<std::atomic<bool>>(false);
        auto painted = std::make_shared<std::atomic<bool>>(false);
        auto streaming = std::make_shared<std::atomic<bool>>(true);
        auto calls = std::make_shared<long>(0);
        bool finished = RunWorker(
            front_,
            [=] {
                front->Main().RunAndWait([=] {
                    front->StartTimer(10ms, [=] {
                        if (streaming->load())
                            ticked->store(true);
                    });
                    front->RequestPaint([=] {
                        if (streaming->load())
                            painted->store(true);
                    });
                });
                const auto end = std::chrono::steady_clock::now() + 20s;
                while (
                    !(ticked->load() && painted->load()) && std::chrono::steady_clock::now() < end)
                    front->Main().RunAndWait([=] { ++*calls; });
                streaming->store(false);
            },
            30s);
        ASSERT_TRUE(finished);
        EXPECT_TRUE(ticked->load()) << "no timer while " << *calls << " calls streamed";
        EXPECT_TRUE(painted->load()) << "no paint while " << *calls << " calls streamed";
    }

    TEST_P(MainThreadContract, ACallFromTheMainThreadItselfRunsAtOnce)
    {
        bool ran = false;
        front_->Main().RunAndWait([&] { ran = true; });
        EXPECT_TRUE(ran);
        EXPECT_THROW(front_->Main().RunAndWait([] { throw Error("status"); }), Error);
    }

} // namespace
} // namespace tarvenia::testing
