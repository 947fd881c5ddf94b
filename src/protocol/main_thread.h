#pragma once

#include <functional>

namespace tarvenia {

// The synchronous hand-over of a worker to the main thread: the function runs
// on the main thread when it next handles its events, and the caller waits
// until it has run. An exception thrown by the function is thrown again in
// the caller. The Qt front-end implements it with a blocking queued call, the
// Win32 one with SendMessage, tests with a recorder.
class MainThread {
public:
    virtual ~MainThread() = default;
    virtual void RunAndWait(const std::function<void()>& fn) = 0;
};

} // namespace tarvenia
