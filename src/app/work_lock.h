// The lock of the work folder: a window and a window-less run, or two runs,
// never work on the same work files at once. Each holder writes into the
// lock file who it is; the system releases the lock when its process ends.
//   A run finds the window open: it does nothing and says so (the window has
//   the wallpaper in hand). A run finds another run: it waits for its end.
//   A window finds a run: it waits for it briefly, then opens all the same
//   and takes the lock as soon as the run lets it go; it never fails to open
//   because of the lock.
#pragma once

#include "base/file_lock.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace tarvenia {

class WorkLock {
public:
    enum class Outcome { Taken, WindowOpen, RunBusy };

    // The lock file "qndelar.lck" in the work folder (which ends with its
    // separator). Throws IoError when it cannot be opened or made.
    explicit WorkLock(const std::string& work_dir);
    ~WorkLock();

    // The window-less run's side: taken at once when free; WindowOpen at
    // once while a window holds it; while another run holds it, its end is
    // awaited at most `limit` (RunBusy after that).
    Outcome TakeForRun(std::chrono::milliseconds limit);

    // The window's side: true when taken within `brief` (no wait at all when
    // another window holds it). Otherwise a thread of its own takes the lock
    // as soon as it is free and then calls `taken` there.
    bool TakeForWindow(std::chrono::milliseconds brief, std::function<void()> taken = {});

    // How often a waiting side looks at the lock again.
    static constexpr std::chrono::milliseconds kPoll { 50 };

private:
    enum class Holder { Window, Run };
    bool TryTake(Holder holder);
    bool HeldByWindow();

    // Shared with the window's waiting thread, which may outlive this object.
    std::shared_ptr<FileLock> lock_;
};

// The window's side at its start, in the work folder `work_dir`: waits at
// most five seconds for a run, and never keeps the window from opening (a
// lock file that cannot be made is passed over).
void LockWorkFolderForWindow(const std::string& work_dir);

} // namespace tarvenia
