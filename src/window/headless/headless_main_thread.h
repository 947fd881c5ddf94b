// The main thread of the window-less run: the thread that drives TForm1.
// Workers hand their status over to it through a queue that the run works
// off between its ticks; anything may post it a call without waiting.
#pragma once

#include "protocol/main_thread.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tarvenia::headless {

class HeadlessMainThread final : public MainThread {
public:
    // The thread that creates it is the run's main thread.
    HeadlessMainThread();

    // From a worker: queued, and the worker waits until the run has run it
    // (an exception comes back to the worker). On the main thread itself:
    // run at once.
    void RunAndWait(const std::function<void()>& fn) override;
    // From any thread: queued, without waiting. Exceptions are dropped.
    void Post(std::function<void()> fn);

    // Main thread: runs every queued call; when none is there, waits for one
    // at most `limit` first.
    void RunPending(std::chrono::milliseconds limit);

private:
    struct Call {
        std::function<void()> fn;
        std::exception_ptr error;
        bool done = false;
    };

    std::thread::id owner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Call>> queue_;
};

} // namespace tarvenia::headless
