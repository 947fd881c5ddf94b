// The workers' hand-over to the main thread (protocol/main_thread.h) behaves
// alike in every front-end and in the tests' own main thread: one suite
// (main_thread_contract_test.cpp) runs against each through this adapter,
// which each implements and instantiates the suite with.
#pragma once

#include "protocol/main_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

namespace tarvenia::testing {

// A hand-over made on the test's (main) thread, with what is needed to run
// the event loop around it.
class MainThreadFrontEnd {
public:
    virtual ~MainThreadFrontEnd() = default;
    virtual MainThread& Main() = 0;
    // Runs the toolkit's event loop until `done` holds (looked at every few
    // milliseconds) or `limit` has passed; false in the second case.
    virtual bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) = 0;
    // A repeating timer of the toolkit, with `tick` run at each expiry; and a
    // shown window of the toolkit whose next paint runs `painted`.
    virtual void StartTimer(std::chrono::milliseconds interval, std::function<void()> tick) = 0;
    virtual void RequestPaint(std::function<void()> painted) = 0;
};

using MainThreadFrontEndFactory = std::unique_ptr<MainThreadFrontEnd> (*)();

class MainThreadContract : public ::testing::TestWithParam<MainThreadFrontEndFactory> {
protected:
    void SetUp() override { front_ = GetParam()(); }
    void TearDown() override { front_.reset(); }
    std::unique_ptr<MainThreadFrontEnd> front_;
};

} // namespace tarvenia::testing
