// The main thread's side of the workers' hand-over, shared by the front-ends:
// a one-slot mailbox that the main thread watches while calls keep coming.
//
// A download hands over after every read of 1 KiB, which on a fast connection
// comes every few microseconds; an event posted, a main loop iteration and a
// thread woken per read would cost more than the read itself. So a notice is
// posted to the main thread's event loop only when the main thread is not
// already watching the mailbox; once woken, it runs the calls as they arrive
// and watches for the next one while they keep coming, for a bounded time,
// then goes back to its loop so that timers and paints run. Nobody watches
// when no call comes: an idle program never spins.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tarvenia {

class HandOverMailbox {
public:
    // Posts a notice to the main thread's event loop, whose handler calls
    // Watch(); false when it cannot (its receiver is gone). Called by a
    // worker, or by the main thread itself at the end of a watch.
    using PostNotice = std::function<bool()>;

    // How long the main thread waits for the next call before going back to
    // its loop: twice the worker's last pause between two calls, within
    // these bounds, and the shortest after a pause longer than half the
    // longest (a slow connection is not waited for awake). And how long one
    // watch may last at most.
    static constexpr std::chrono::microseconds kIdleLimit { 50 };
    static constexpr std::chrono::microseconds kLongestIdleLimit { 250 };
    static constexpr std::chrono::microseconds kWatchLimit { 2000 };

    // Made on the main thread: a call from that thread runs at once. Kept
    // in a shared pointer that every caller copies for the time of its call:
    // a worker released by Close() still leaves through the mailbox.
    static std::shared_ptr<HandOverMailbox> Make(PostNotice post_notice);
    explicit HandOverMailbox(PostNotice post_notice);
    HandOverMailbox(const HandOverMailbox&) = delete;
    HandOverMailbox& operator=(const HandOverMailbox&) = delete;

    // MainThread::RunAndWait: `fn` runs on the main thread and the caller
    // waits for it; what it throws is thrown again here. After Close(), or
    // when the notice cannot be posted, it returns without running `fn`.
    void RunAndWait(const std::function<void()>& fn);

    // Main thread, in the notice's handler: runs the waiting call and the
    // ones that follow while they keep coming, within the limits above.
    // kTimeLimit: calls were still coming. The main thread then still counts
    // as watching (workers post no notice) until it calls Watch() again or
    // Leave(), which it must do soon.
    enum class WatchEnd { kIdle, kTimeLimit };
    WatchEnd Watch();
    // Main thread, after a watch that ended at its time limit, when it does
    // not watch again at once: the waiting call, or else the next one, has
    // its notice posted.
    void Leave();

    // Main thread, before the notice's receiver goes away: the waiting call
    // is released without running, later ones return at once.
    void Close();

private:
    // The slot's states. A worker fills an empty slot and waits for it to be
    // answered; the main thread takes a waiting call, runs it and answers it,
    // or answers it unrun when closing; a worker whose notice could not be
    // posted takes its call back (waiting -> empty) unless it was taken.
    enum State : std::uint32_t { kEmpty, kWaiting, kTaken, kAnswered };

    // Main thread: runs the waiting call, if there is one.
    bool TakeAndRun();
    void Answer() noexcept;
    // The worker's wait for its answer.
    void AwaitAnswer();
    // Posts the notice unless the mailbox is closed; false when none went.
    bool Post();

    const std::thread::id main_thread_;
    const PostNotice post_notice_;
    // Workers take turns: the slot holds one call at a time.
    std::mutex senders_;
    // The call in the slot: written by its worker before the slot is
    // waiting (`sent_at_`: when), `error_` by the main thread before it is
    // answered.
    const std::function<void()>* fn_ = nullptr;
    std::chrono::steady_clock::time_point sent_at_;
    std::exception_ptr error_;
    std::atomic<std::uint32_t> state_ { kEmpty };
    // Where the worker sleeps when the answer is slow to come.
    std::mutex sleep_mutex_;
    std::condition_variable answered_;
    std::atomic<bool> sleeping_ { false };
    // Written by the main thread only: it watches, or has promised to.
    std::atomic<bool> watching_ { false };
    // Main thread only.
    bool in_watch_ = false;
    std::chrono::steady_clock::time_point answered_at_;
    std::chrono::steady_clock::duration idle_limit_ = kIdleLimit;
    // Held while a notice is posted, so that Close() waits for it to be done
    // and none is posted afterwards.
    std::mutex post_mutex_;
    std::atomic<bool> closed_ { false };
};

} // namespace tarvenia
