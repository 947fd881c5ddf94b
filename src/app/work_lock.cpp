#include "app/work_lock.h"

#include <thread>

namespace tarvenia {

namespace {
    constexpr char kWindowNote[] = "window\n";
    constexpr char kRunNote[] = "run\n";
    using Clock = std::chrono::steady_clock;
} // namespace

WorkLock::WorkLock(const std::string& work_dir)
    : lock_(std::make_shared<FileLock>(work_dir + "qndelar.lck"))
{
}

WorkLock::~WorkLock() = default;

bool WorkLock::TryTake(Holder holder)
{
    if (!lock_->TryLock())
        return false;
    lock_->WriteNote(holder == Holder::Window ? kWindowNote : kRunNote);
    return true;
}

bool WorkLock::HeldByWindow() { return lock_->ReadNote() == kWindowNote; }

WorkLock::Outcome WorkLock::TakeForRun(std::chrono::milliseconds limit)
{
    const auto end = Clock::now() + limit;
    for (;;) {
        if (TryTake(Holder::Run))
            return Outcome::Taken;
        // Read at every look: a holder that has just taken the lock may not
        // have written its note yet.
        if (HeldByWindow())
            return Outcome::WindowOpen;
        if (Clock::now() >= end)
            return Outcome::RunBusy;
        std::this_thread::sleep_for(kPoll);
    }
}

bool WorkLock::TakeForWindow(std::chrono::milliseconds brief, std::function<void()> taken)
{
    const auto end = Clock::now() + brief;
    for (;;) {
        if (TryTake(Holder::Window))
            return true;
        // Another window never ends soon; a run usually does.
        if (HeldByWindow() || Clock::now() >= end)
            break;
        std::this_thread::sleep_for(kPoll);
    }
    std::thread([lock = lock_, taken = std::move(taken)] {
        while (!lock->TryLock())
            std::this_thread::sleep_for(kPoll);
        lock->WriteNote(kWindowNote);
        if (taken)
            taken();
    }).detach();
    return false;
}

void LockWorkFolderForWindow(const std::string& work_dir)
{
    try {
        // Held until the process ends.
        auto* lock = new WorkLock(work_dir);
        lock->TakeForWindow(std::chrono::seconds(5));
    } catch (const std::exception&) {
    }
}

} // namespace tarvenia
