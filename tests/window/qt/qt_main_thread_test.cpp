// The worker's hand-over to the Qt main thread: the front-ends' shared suite
// (main_thread_contract_test.cpp), and a call whose receiver goes away.
#include "main_thread_contract.h"
#include "window/qt/qt_main_thread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using tarvenia::qt::QtMainThread;
using namespace std::chrono_literals;

// The hand-over's shared suite, with a shown widget and a timer of Qt.
class PaintProbe final : public QWidget {
public:
    std::function<void()> painted;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (painted)
            painted();
    }
};

class QtHandOver final : public tarvenia::testing::MainThreadFrontEnd {
public:
    QtHandOver()
    {
        probe_.resize(40, 30);
        probe_.show();
        QCoreApplication::processEvents();
    }
    tarvenia::MainThread& Main() override { return main_; }
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override
    {
        QEventLoop loop;
        QTimer poll;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        bool held = false;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            held = done();
            if (held || std::chrono::steady_clock::now() > deadline)
                loop.quit();
        });
        poll.start(5);
        loop.exec();
        return held;
    }
    void StartTimer(std::chrono::milliseconds interval, std::function<void()> tick) override
    {
        QObject::connect(&timer_, &QTimer::timeout, std::move(tick));
        timer_.start(interval);
    }
    void RequestPaint(std::function<void()> painted) override
    {
        probe_.painted = std::move(painted);
        probe_.update();
    }

private:
    QtMainThread main_;
    QTimer timer_;
    PaintProbe probe_;
};

std::unique_ptr<tarvenia::testing::MainThreadFrontEnd> MakeQtHandOver()
{
    return std::make_unique<QtHandOver>();
}
using tarvenia::testing::MainThreadContract;
INSTANTIATE_TEST_SUITE_P(Qt, MainThreadContract, ::testing::Values(&MakeQtHandOver),
    [](const auto&) { return std::string("qt"); });

TEST(QtMainThreadHandOver, ACallWhoseReceiverIsDestroyedReleasesTheWorker)
{
    auto* main_thread = new QtMainThread;
    auto asked = std::make_shared<std::atomic<bool>>(false);
    auto returned = std::make_shared<std::atomic<bool>>(false);
    auto ran = std::make_shared<std::atomic<bool>>(false);
    std::thread worker([=] {
        asked->store(true);
        main_thread->RunAndWait([=] { ran->store(true); });
        returned->store(true);
    });
    while (!asked->load())
        std::this_thread::yield();
    // Long enough for the call to be posted and the worker to wait; no
    // event is handled meanwhile.
    std::this_thread::sleep_for(100ms);
    delete main_thread;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!returned->load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    if (!returned->load()) {
        worker.detach();
        FAIL() << "the worker still waits for a call that can no longer run";
    }
    worker.join();
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran->load());
}

} // namespace
