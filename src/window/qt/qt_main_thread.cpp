#include "window/qt/qt_main_thread.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <thread>

namespace tarvenia::qt {

namespace {

    // A download hands over after every read of 1 KiB, which on a fast
    // connection comes every few microseconds. Putting a thread to sleep and
    // waking it costs more than that, so each side first watches for the
    // other for a short, bounded while. The watcher yields its core meanwhile:
    // on a machine with few cores the other side may need it.
    constexpr std::chrono::microseconds kWorkerWatch { 50 };
    constexpr std::chrono::microseconds kMainWatch { 50 };

    // One hand-over, shared by the waiting worker and the event that carries
    // it: whichever lets go last frees it.
    struct Call {
        explicit Call(const std::function<void()>& f)
            : fn(f)
        {
        }
        const std::function<void()>& fn;
        std::exception_ptr error;
        std::atomic<std::uint32_t> done { 0 };

        void Finish()
        {
            done.store(1, std::memory_order_release);
            done.notify_one();
        }
    };

    const QEvent::Type kCallEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

    class CallEvent final : public QEvent {
    public:
        explicit CallEvent(std::shared_ptr<Call> call)
            : QEvent(kCallEvent)
            , call_(std::move(call))
        {
        }
        // An event dropped without being delivered (its receiver destroyed)
        // still releases the worker.
        ~CallEvent() override
        {
            if (call_->done.load(std::memory_order_relaxed) == 0)
                call_->Finish();
        }
        Call& call() { return *call_; }

    private:
        std::shared_ptr<Call> call_;
    };

} // namespace

QtMainThread::QtMainThread(QObject* parent)
    : QObject(parent)
{
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
            &QtMainThread::BeforeSleep, Qt::DirectConnection);
}

void QtMainThread::RunAndWait(const std::function<void()>& fn)
{
    // A call to our own thread would wait for itself forever.
    if (QThread::currentThread() == thread()) {
        fn();
        return;
    }
    auto call = std::make_shared<Call>(fn);
    // Counted before the post: once posted, this object may be gone (its
    // destruction drops the event, which releases us).
    posted_.fetch_add(1, std::memory_order_relaxed);
    QCoreApplication::postEvent(this, new CallEvent(call));

    const auto limit = Clock::now() + kWorkerWatch;
    while (call->done.load(std::memory_order_acquire) == 0 && Clock::now() < limit)
        std::this_thread::yield();
    while (call->done.load(std::memory_order_acquire) == 0)
        call->done.wait(0, std::memory_order_acquire);
    if (call->error)
        std::rethrow_exception(call->error);
}

bool QtMainThread::event(QEvent* event)
{
    if (event->type() != kCallEvent)
        return QObject::event(event);
    const auto start = Clock::now();
    streaming_ = start - last_end_ < kMainWatch;
    posted_.fetch_sub(1, std::memory_order_relaxed);
    Call& call = static_cast<CallEvent*>(event)->call();
    try {
        call.fn();
    } catch (...) {
        call.error = std::current_exception();
    }
    call.Finish();
    last_end_ = Clock::now();
    return true;
}

void QtMainThread::BeforeSleep()
{
    // While a download flows, its next hand-over is due within microseconds:
    // wait for it awake rather than through a sleep and a wake-up. Bounded,
    // and only after a call that itself came back quickly.
    if (!streaming_)
        return;
    streaming_ = false;
    const auto limit = last_end_ + kMainWatch;
    while (posted_.load(std::memory_order_relaxed) == 0 && Clock::now() < limit)
        std::this_thread::yield();
}

} // namespace tarvenia::qt
