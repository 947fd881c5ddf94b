#include "window/qt/qt_main_thread.h"

#include <QCoreApplication>
#include <QEvent>

namespace tarvenia::qt {

namespace {

    const QEvent::Type kNoticeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

QtMainThread::QtMainThread(QObject* parent)
    : QObject(parent)
    , mailbox_(HandOverMailbox::Make([this] {
        QCoreApplication::postEvent(this, new QEvent(kNoticeEvent));
        return true;
    }))
{
}

QtMainThread::~QtMainThread() { mailbox_->Close(); }

void QtMainThread::RunAndWait(const std::function<void()>& fn)
{
    // Our own reference: a worker released by our destruction still leaves
    // through the mailbox.
    const auto mailbox = mailbox_;
    mailbox->RunAndWait(fn);
}

bool QtMainThread::event(QEvent* event)
{
    if (event->type() != kNoticeEvent)
        return QObject::event(event);
    // Events posted meanwhile (paints among them) run before the next
    // notice, and timers between the two.
    if (mailbox_->Watch() == HandOverMailbox::WatchEnd::kTimeLimit)
        mailbox_->Leave();
    return true;
}

} // namespace tarvenia::qt
