// Download speed of the photo run against the curl program, both fetching
// the same 8 MiB photo from the demo service on loopback. Each read of the
// worker waits for a hand-over to the main thread, as in the program. When
// the Qt front-end is built, the main thread also runs a real Qt event loop
// with the program's own hand-over (QtMainThread), offscreen.
#include "demo_server.h"
#include "protocol/main_thread.h"
#include "support/temp_folder.h"
#include "web/vazi_dov_thread.h"

#ifdef TARVENIA_BENCH_QT
#include "window/qt/cp1252.h"
#include "window/qt/main_window.h"
#include "window/qt/qt_main_thread.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QStatusBar>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The main thread's side of the hand-over: a loop that runs each call it is
// given while the worker waits (a plain condition-variable loop; a toolkit's
// event loop may be slower or faster). `spin` > 0 makes both sides yield a
// while before they sleep, which can spare the thread wake-ups of each
// hand-over on an idle machine.
class LoopMainThread final : public tarvenia::MainThread {
public:
    explicit LoopMainThread(int spin)
        : spin_(spin)
    {
    }

    void RunAndWait(const std::function<void()>& fn) override
    {
        const long ticket = served_.load(std::memory_order_acquire);
        {
            std::lock_guard lock(mutex_);
            job_.store(&fn, std::memory_order_release);
        }
        to_main_.notify_one();
        bool served = false;
        for (int i = 0; i < spin_ && !served; ++i) {
            std::this_thread::yield();
            served = served_.load(std::memory_order_acquire) != ticket;
        }
        if (!served) {
            std::unique_lock lock(mutex_);
            to_worker_.wait(
                lock, [&] { return served_.load(std::memory_order_acquire) != ticket; });
        }
        if (error_)
            std::rethrow_exception(error_);
    }

    // Answers hand-overs until Stop().
    void Loop()
    {
        for (;;) {
            const std::function<void()>* job = nullptr;
            for (int i = 0; i < spin_ && !job && !stop_.load(std::memory_order_acquire); ++i) {
                std::this_thread::yield();
                job = job_.load(std::memory_order_acquire);
            }
            if (!job) {
                std::unique_lock lock(mutex_);
                to_main_.wait(lock, [&] { return job_.load() != nullptr || stop_.load(); });
                job = job_.load(std::memory_order_acquire);
                if (!job)
                    return;
            }
            job_.store(nullptr, std::memory_order_relaxed);
            error_ = nullptr;
            try {
                (*job)();
            } catch (...) {
                error_ = std::current_exception();
            }
            {
                std::lock_guard lock(mutex_);
                served_.fetch_add(1, std::memory_order_release);
            }
            to_worker_.notify_one();
        }
    }

    void Stop()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        to_main_.notify_one();
    }

    long Handovers() const { return served_.load(); }

private:
    const int spin_;
    std::mutex mutex_;
    std::condition_variable to_main_;
    std::condition_variable to_worker_;
    std::atomic<const std::function<void()>*> job_ { nullptr };
    std::atomic<long> served_ { 0 };
    std::atomic<bool> stop_ { false };
    std::exception_ptr error_;
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct RunResult {
    double mb_per_s = 0;
    long handovers = 0;
    std::string last_status;
};

// One photo run of `url`; `spin` < 0: statuses set on the worker's own
// thread, without any hand-over (the network and file part alone).
RunResult TimePhotoRun(
    tarvenia::SharedState& state, const std::string& url, int spin, std::size_t size)
{
    RunResult result;
    LoopMainThread main_thread(std::max(spin, 0));
    tarvenia::WorkerServices services;
    services.main_thread = spin < 0 ? nullptr : &main_thread;
    services.set_status = [&](const std::string& text) { result.last_status = text; };
    state.ImageReady = false;
    tarvenia::TVaziDovThread worker(state, services, tarvenia::RunKind::Photo);
    worker.Url = url;
    auto start = Clock::now();
    std::thread run([&] {
        worker.Execute();
        main_thread.Stop();
    });
    main_thread.Loop();
    run.join();
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.handovers = main_thread.Handovers();
    if (state.ImageReady && std::filesystem::file_size(state.Paths.photo) == size)
        result.mb_per_s = size / 1e6 / seconds;
    return result;
}

#ifdef TARVENIA_BENCH_QT
// One photo run whose hand-overs go through QtMainThread to a Qt event loop
// on this (the main) thread; `set_status` is what the main thread does with
// each status.
RunResult TimeQtPhotoRun(tarvenia::SharedState& state, const std::string& url, std::size_t size,
    const std::function<void(const std::string&)>& set_status)
{
    RunResult result;
    tarvenia::qt::QtMainThread main_thread;
    tarvenia::WorkerServices services;
    services.main_thread = &main_thread;
    services.set_status = [&](const std::string& text) {
        ++result.handovers;
        set_status(text);
        result.last_status = text;
    };
    state.ImageReady = false;
    tarvenia::TVaziDovThread worker(state, services, tarvenia::RunKind::Photo);
    worker.Url = url;
    QEventLoop loop;
    auto start = Clock::now();
    std::thread run([&] {
        worker.Execute();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    run.join();
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (state.ImageReady && std::filesystem::file_size(state.Paths.photo) == size)
        result.mb_per_s = size / 1e6 / seconds;
    return result;
}
#endif

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::size_t size = 8u << 20;
    const int spin = 200; // yields, some tens of microseconds
    ::unsetenv("http_proxy");
    ::setenv("no_proxy", "127.0.0.1,localhost", 1);
#ifdef TARVENIA_BENCH_QT
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // What the window shows: a status bar and, for comparison, a label that
    // only schedules its repaint.
    QWidget window;
    window.resize(251, 180);
    QLabel label(&window);
    label.setGeometry(0, 0, 251, 19);
    QStatusBar status_bar(&window);
    status_bar.setGeometry(0, 161, 251, 19);
    window.show();
    // And the program's own window, whose status bar draws at a bounded rate.
    tarvenia::qt::MainWindow form(24);
    form.show();
    QCoreApplication::processEvents();
    std::vector<double> qt_string_mbs, qt_label_mbs, qt_bar_mbs, qt_form_mbs;
    RunResult qt_last;
#endif

    demo::DemoOptions options;
    options.days = 1;
    options.width = 64;
    options.height = 48;
    options.big_photo_bytes = size;
    demo::DemoServer server(options);
    int port = server.Bind();
    if (port <= 0) {
        std::fprintf(stderr, "cannot listen\n");
        return 1;
    }
    std::thread serving([&] { server.Run(); });
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/fotos/grande.jpg";

    const tarvenia::testing::TempFolder folder;
    const std::filesystem::path& dir = folder.Root();
    tarvenia::SharedState state;
    state.Paths = tarvenia::WorkPaths::InFolder(dir.string() + "/");
    state.CurrentKey = "20030305";
    const std::string curl_out = (dir / "curl.jpg").string();

    std::vector<double> cv_mbs, spin_mbs, bare_mbs, curl_mbs;
    RunResult last;
    for (int r = 0; r < rounds; ++r) {
        last = TimePhotoRun(state, url, 0, size);
        cv_mbs.push_back(last.mb_per_s);
        spin_mbs.push_back(TimePhotoRun(state, url, spin, size).mb_per_s);
        bare_mbs.push_back(TimePhotoRun(state, url, -1, size).mb_per_s);
#ifdef TARVENIA_BENCH_QT
        std::string text;
        qt_last = TimeQtPhotoRun(state, url, size, [&](const std::string& t) { text = t; });
        qt_string_mbs.push_back(qt_last.mb_per_s);
        qt_label_mbs.push_back(TimeQtPhotoRun(state, url, size, [&](const std::string& t) {
            label.setText(tarvenia::qt::Cp1252ToQString(t));
        }).mb_per_s);
        qt_bar_mbs.push_back(TimeQtPhotoRun(state, url, size, [&](const std::string& t) {
            status_bar.showMessage(tarvenia::qt::Cp1252ToQString(t));
        }).mb_per_s);
        qt_form_mbs.push_back(TimeQtPhotoRun(state, url, size, [&](const std::string& t) {
            form.SetStatusText(t);
        }).mb_per_s);
#endif

        std::string command = "curl -s -o '" + curl_out + "' '" + url + "'";
        auto start = Clock::now();
        int rc = std::system(command.c_str());
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (rc == 0 && std::filesystem::exists(curl_out)
            && std::filesystem::file_size(curl_out) == size)
            curl_mbs.push_back(size / 1e6 / seconds);
    }
    server.Stop();
    serving.join();

    std::printf(
        "photo of %zu bytes from the demo service on loopback, %d rounds, medians\n", size, rounds);
    std::printf(
        "  %ld hand-overs per run, last status \"%s\"\n", last.handovers, last.last_status.c_str());
    double c = curl_mbs.empty() ? 0 : Median(curl_mbs);
    auto line = [&](const char* what, const std::vector<double>& v) {
        double m = Median(v);
        if (c > 0)
            std::printf("  %-58s %7.1f MB/s  ratio to curl %.2f\n", what, m, m / c);
        else
            std::printf("  %-58s %7.1f MB/s\n", what, m);
    };
    line("photo run, main thread on a condition variable", cv_mbs);
    line("photo run, both sides yield a while before sleeping", spin_mbs);
    line("photo run, no hand-over (network and file only)", bare_mbs);
#ifdef TARVENIA_BENCH_QT
    std::printf("  Qt event loop: %ld hand-overs per run, last status \"%s\"\n", qt_last.handovers,
        qt_last.last_status.c_str());
    line("photo run, Qt event loop, status into a string", qt_string_mbs);
    line("photo run, Qt event loop, status into a shown QLabel", qt_label_mbs);
    line("photo run, Qt event loop, status into a shown QStatusBar", qt_bar_mbs);
    line("photo run, Qt event loop, status into the program's window", qt_form_mbs);
#endif
    if (c > 0)
        std::printf("  %-58s %7.1f MB/s\n", "curl -s -o (process start included)", c);
    else
        std::printf("  curl program not available: no reference\n");
    std::printf("  target: photo run through the Qt event loop >= 100 MB/s\n");
    return 0;
}
