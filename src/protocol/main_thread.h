#pragma once

#include <functional>

namespace tarvenia {

// The synchronous hand-over of a worker to the main thread: the function runs
// on the main thread when it next handles its events, and the caller waits
// until it has run. An exception thrown by the function is thrown again in
// the caller. The front-ends implement it with HandOverMailbox
// (hand_over_mailbox.h), tests also with a recorder.
class MainThread {
public:
    virtual ~MainThread() = default;
    virtual void RunAndWait(const std::function<void()>& fn) = 0;
};

} // namespace tarvenia
