// The worker's hand-over to the main thread under Qt: the mailbox of
// protocol/hand_over_mailbox.h, whose notice is an event posted to an object
// that lives in the main thread.
#pragma once

#include "protocol/hand_over_mailbox.h"
#include "protocol/main_thread.h"

#include <QObject>

#include <memory>

namespace tarvenia::qt {

class QtMainThread : public QObject, public MainThread {
    Q_OBJECT
public:
    // Must be created on the main thread. Its destruction releases a call
    // still waiting, without running it.
    explicit QtMainThread(QObject* parent = nullptr);
    ~QtMainThread() override;
    void RunAndWait(const std::function<void()>& fn) override;

protected:
    bool event(QEvent* event) override;

private:
    std::shared_ptr<HandOverMailbox> mailbox_;
};

} // namespace tarvenia::qt
