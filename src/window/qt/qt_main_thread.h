// The worker's hand-over to the main thread under Qt: a call posted as an
// event to an object that lives in the main thread, the worker waiting on a
// flag of the call until the main thread has run it.
#pragma once

#include "protocol/main_thread.h"

#include <QObject>

#include <atomic>
#include <chrono>

namespace tarvenia::qt {

class QtMainThread : public QObject, public MainThread {
    Q_OBJECT
public:
    // Must be created on the main thread. Created after the application
    // object, it also keeps the main thread awake for a moment between the
    // hand-overs of a fast download.
    explicit QtMainThread(QObject* parent = nullptr);
    void RunAndWait(const std::function<void()>& fn) override;

protected:
    bool event(QEvent* event) override;

private:
    // Called as the main thread's event loop is about to sleep.
    void BeforeSleep();

    using Clock = std::chrono::steady_clock;
    // Calls posted and not yet run.
    std::atomic<int> posted_ { 0 };
    // Main thread only: when the last call ended, and whether the one
    // before it came back quickly (a download in full flow).
    Clock::time_point last_end_ {};
    bool streaming_ = false;
};

} // namespace tarvenia::qt
