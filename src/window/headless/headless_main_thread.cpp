#include "window/headless/headless_main_thread.h"

namespace tarvenia::headless {

HeadlessMainThread::HeadlessMainThread()
    : owner_(std::this_thread::get_id())
{
}

void HeadlessMainThread::RunAndWait(const std::function<void()>& fn)
{
    // A call to our own thread would wait for itself forever.
    if (std::this_thread::get_id() == owner_) {
        fn();
        return;
    }
    auto call = std::make_shared<Call>();
    call->fn = [&fn] { fn(); };
    std::unique_lock lock(mutex_);
    queue_.push_back(call);
    changed_.notify_all();
    changed_.wait(lock, [&] { return call->done; });
    if (call->error)
        std::rethrow_exception(call->error);
}

void HeadlessMainThread::Post(std::function<void()> fn)
{
    auto call = std::make_shared<Call>();
    call->fn = std::move(fn);
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(call));
    changed_.notify_all();
}

void HeadlessMainThread::RunPending(std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, limit, [&] { return !queue_.empty(); });
    while (!queue_.empty()) {
        std::shared_ptr<Call> call = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        try {
            call->fn();
        } catch (...) {
            call->error = std::current_exception();
        }
        lock.lock();
        call->done = true;
        changed_.notify_all();
    }
}

} // namespace tarvenia::headless
