#include "window/qt/qt_main_thread.h"

#include <QMetaObject>
#include <QThread>

#include <exception>

namespace tarvenia::qt {

QtMainThread::QtMainThread(QObject* parent)
    : QObject(parent)
{
}

void QtMainThread::RunAndWait(const std::function<void()>& fn)
{
    // A blocking queued call to our own thread would wait for itself forever.
    if (QThread::currentThread() == thread()) {
        fn();
        return;
    }
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        this,
        [&] {
            try {
                fn();
            } catch (...) {
                error = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (error)
        std::rethrow_exception(error);
}

} // namespace tarvenia::qt
