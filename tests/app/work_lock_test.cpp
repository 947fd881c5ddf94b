// The work folder's lock between the window and window-less runs, each side
// in its own WorkLock as in its own process.
#include "app/work_lock.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <future>

namespace tarvenia::testing {
namespace {

    using namespace std::chrono_literals;
    using Outcome = WorkLock::Outcome;

    TEST(WorkLock, ARunFindingTheWindowOpenDoesNothing)
    {
        TempFolder folder;
        WorkLock window(folder.Dir());
        WorkLock run(folder.Dir());

        // The window open: a run does nothing, at once (it would not end
        // with this limit otherwise, and RunBusy would tell).
        ASSERT_TRUE(window.TakeForWindow(0ms));
        EXPECT_EQ(run.TakeForRun(1h), Outcome::WindowOpen);
    }

    TEST(WorkLock, ASecondRunWaitsForTheFirstOrGivesUp)
    {
        TempFolder folder;
        auto first = std::make_unique<WorkLock>(folder.Dir());
        WorkLock second(folder.Dir());
        ASSERT_EQ(first->TakeForRun(0ms), Outcome::Taken);
        EXPECT_EQ(second.TakeForRun(0ms), Outcome::RunBusy);
        // The first run ends while the second waits.
        auto waiting = std::async(std::launch::async, [&] { return second.TakeForRun(1h); });
        first.reset();
        EXPECT_EQ(waiting.get(), Outcome::Taken);
    }

    TEST(WorkLock, TheWindowNeverWaitsLongAndTakesTheLockWhenTheRunEnds)
    {
        TempFolder folder;
        auto run = std::make_unique<WorkLock>(folder.Dir());
        ASSERT_EQ(run->TakeForRun(0ms), Outcome::Taken);
        WorkLock window(folder.Dir());
        std::promise<void> taken;
        EXPECT_FALSE(window.TakeForWindow(0ms, [&] { taken.set_value(); }));
        run.reset();
        taken.get_future().get();
        // From now on the window is open for every later run.
        EXPECT_EQ(WorkLock(folder.Dir()).TakeForRun(0ms), Outcome::WindowOpen);

        // A second window opens at once (another window never ends soon).
        WorkLock second_window(folder.Dir());
        EXPECT_FALSE(second_window.TakeForWindow(1h));
    }

} // namespace
} // namespace tarvenia::testing
