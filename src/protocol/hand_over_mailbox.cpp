#include "protocol/hand_over_mailbox.h"

#include <algorithm>
#include <utility>

namespace tarvenia {

namespace {

    using Clock = std::chrono::steady_clock;

    // Waiting awake starts with the processor's spin-wait hint, which leaves
    // the core's resources to its sibling and costs no system call, then
    // yields the core: on a machine with few cores the other side may need
    // it.
    constexpr std::chrono::microseconds kSpinTime { 2 };

    inline void CpuRelax()
    {
#if defined(__i386__) || defined(__x86_64__)
        __builtin_ia32_pause();
#elif defined(__aarch64__) || defined(__arm__)
        asm volatile("yield");
#endif
    }

    // One step of an awake wait that has lasted `waited`.
    void WaitAwake(Clock::duration waited)
    {
        if (waited < kSpinTime) {
            for (int i = 0; i < 16; ++i)
                CpuRelax();
        } else {
            std::this_thread::yield();
        }
    }

} // namespace

std::shared_ptr<HandOverMailbox> HandOverMailbox::Make(PostNotice post_notice)
{
    return std::make_shared<HandOverMailbox>(std::move(post_notice));
}

HandOverMailbox::HandOverMailbox(PostNotice post_notice)
    : main_thread_(std::this_thread::get_id())
    , post_notice_(std::move(post_notice))
{
}

void HandOverMailbox::RunAndWait(const std::function<void()>& fn)
{
    // A call to our own thread would wait for itself forever.
    if (std::this_thread::get_id() == main_thread_) {
        if (!closed_.load(std::memory_order_acquire))
            fn();
        return;
    }
    std::lock_guard turn(senders_);
    if (closed_.load(std::memory_order_acquire))
        return;
    fn_ = &fn;
    sent_at_ = Clock::now();
    // Sequentially consistent with the main thread's end of a watch: either
    // this worker sees it no longer watching and posts the notice, or the
    // main thread sees the waiting call and posts it itself.
    state_.store(kWaiting, std::memory_order_seq_cst);
    if (!watching_.load(std::memory_order_seq_cst) && !Post()) {
        std::uint32_t expected = kWaiting;
        if (state_.compare_exchange_strong(expected, kEmpty, std::memory_order_acq_rel))
            return; // never seen by the main thread
        // Taken meanwhile: it is being run or released.
    }
    AwaitAnswer();
    std::exception_ptr error = std::exchange(error_, nullptr);
    state_.store(kEmpty, std::memory_order_release);
    if (error)
        std::rethrow_exception(error);
}

void HandOverMailbox::AwaitAnswer()
{
    // The main thread usually answers within microseconds: watch for it
    // awake for about as long as it watches for us, then sleep.
    const auto start = Clock::now();
    for (;;) {
        if (state_.load(std::memory_order_acquire) == kAnswered)
            return;
        const auto waited = Clock::now() - start;
        if (waited >= kIdleLimit)
            break;
        WaitAwake(waited);
    }
    // A condition variable, not std::atomic::wait: that one can miss a
    // wake-up where the platform has no futex (MinGW's libstdc++ 12).
    std::unique_lock lock(sleep_mutex_);
    sleeping_.store(true, std::memory_order_seq_cst);
    while (state_.load(std::memory_order_seq_cst) != kAnswered)
        answered_.wait(lock);
    sleeping_.store(false, std::memory_order_relaxed);
}

HandOverMailbox::WatchEnd HandOverMailbox::Watch()
{
    // A notice handled by a loop nested inside a call: the outer watch goes
    // on once the call returns.
    if (in_watch_)
        return WatchEnd::kIdle;
    in_watch_ = true;
    watching_.store(true, std::memory_order_seq_cst);
    const auto start = Clock::now();
    auto last = start;
    WatchEnd end = WatchEnd::kIdle;
    for (;;) {
        if (TakeAndRun()) {
            last = Clock::now();
            if (last - start >= kWatchLimit) {
                end = WatchEnd::kTimeLimit;
                break;
            }
            continue;
        }
        const auto idle = Clock::now() - last;
        if (idle >= idle_limit_)
            break;
        WaitAwake(idle);
    }
    in_watch_ = false;
    if (end == WatchEnd::kIdle)
        Leave();
    return end;
}

void HandOverMailbox::Leave()
{
    watching_.store(false, std::memory_order_seq_cst);
    // A call that came as the watch ended saw it still watching and posted
    // nothing: its notice goes now, behind the events that waited meanwhile.
    if (state_.load(std::memory_order_seq_cst) == kWaiting)
        Post();
}

bool HandOverMailbox::TakeAndRun()
{
    std::uint32_t expected = kWaiting;
    if (state_.load(std::memory_order_relaxed) != kWaiting
        || !state_.compare_exchange_strong(
            expected, kTaken, std::memory_order_acquire, std::memory_order_relaxed))
        return false;
    // A download's reads come at a steady pace, each a little slower on a
    // slow machine (or under an emulator): wait for the next as long as
    // this one took the worker.
    const auto pause = sent_at_ - answered_at_;
    if (pause <= kLongestIdleLimit / 2)
        idle_limit_ = std::max<Clock::duration>(2 * pause, kIdleLimit);
    else
        idle_limit_ = kIdleLimit;
    try {
        (*fn_)();
    } catch (...) {
        error_ = std::current_exception();
    }
    answered_at_ = Clock::now();
    Answer();
    return true;
}

void HandOverMailbox::Answer() noexcept
{
    // Sequentially consistent with the worker's going to sleep: either it
    // sees the answer before it sleeps, or this sees it asleep and wakes it.
    state_.store(kAnswered, std::memory_order_seq_cst);
    if (sleeping_.load(std::memory_order_seq_cst)) {
        std::lock_guard lock(sleep_mutex_);
        answered_.notify_one();
    }
}

void HandOverMailbox::Close()
{
    {
        std::lock_guard lock(post_mutex_);
        closed_.store(true, std::memory_order_seq_cst);
    }
    std::uint32_t expected = kWaiting;
    if (state_.compare_exchange_strong(expected, kTaken, std::memory_order_acq_rel))
        Answer();
}

bool HandOverMailbox::Post()
{
    std::lock_guard lock(post_mutex_);
    try {
        return !closed_.load(std::memory_order_relaxed) && post_notice_();
    } catch (...) {
        return false; // no memory for the notice: as if its receiver were gone
    }
}

} // namespace tarvenia
