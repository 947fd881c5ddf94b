// Download speed of the photo run against the curl program, both fetching
// the same 8 MiB photo from the demo service on loopback. Each read of the
// worker waits for a hand-over to the main thread, as in the program. When
// the Qt front-end is built, the main thread also runs a real Qt event loop
// with the program's own hand-over (QtMainThread), offscreen. On Windows the
// main thread runs a message loop with the program's window and its
// hand-over (Win32MainThread); the demo service and the curl figure come from
// the Linux side (scripts/test-windows --bench):
//   bench_download.exe ROUNDS URL CURL_MB_PER_S
#include "protocol/main_thread.h"
#include "support/temp_folder.h"
#include "web/vazi_dov_thread.h"

#ifdef _WIN32
#include "protocol/wallpaper_installer.h"
#include "window/tform1.h"
#include "window/win32/win32_main_thread.h"
#include "window/win32/win32_view.h"

#include <windows.h>
#else
#include "demo_server.h"
#endif

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

#ifdef _WIN32
// The program's window needs these; nothing is started or installed here.
class NoWorkers : public tarvenia::WorkerStarter {
public:
    void StartWorker(tarvenia::RunKind, const std::string&) override { }
};
class NoWallpaper : public tarvenia::WallpaperInstaller {
public:
    bool Install(const std::string&) noexcept override { return true; }
};
#endif

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

#if defined(TARVENIA_BENCH_QT) || defined(_WIN32)
// One photo run whose hand-overs go through `main_thread` to a toolkit's
// event loop on this (the main) thread: `run_loop` runs it until
// `quit_loop`, called by the worker at the end, stops it. `set_status` is
// what the main thread does with each status.
RunResult TimeLoopPhotoRun(tarvenia::SharedState& state, const std::string& url, std::size_t size,
    tarvenia::MainThread& main_thread, const std::function<void(const std::string&)>& set_status,
    const std::function<void()>& run_loop, const std::function<void()>& quit_loop)
{
    RunResult result;
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
    auto start = Clock::now();
    std::thread run([&] {
        worker.Execute();
        quit_loop();
    });
    run_loop();
    run.join();
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (state.ImageReady && std::filesystem::file_size(state.Paths.photo) == size)
        result.mb_per_s = size / 1e6 / seconds;
    return result;
}
#endif

#ifdef TARVENIA_BENCH_QT
// Counts the events that reach the hand-over's receiver: the notices that
// woke the main thread for a watch of the mailbox.
class EventCounter final : public QObject {
public:
    long events = 0;

protected:
    bool eventFilter(QObject*, QEvent*) override
    {
        ++events;
        return false;
    }
};

// Through QtMainThread and a Qt event loop.
RunResult TimeQtPhotoRun(tarvenia::SharedState& state, const std::string& url, std::size_t size,
    const std::function<void(const std::string&)>& set_status, long* notices = nullptr)
{
    tarvenia::qt::QtMainThread main_thread;
    EventCounter counter;
    main_thread.installEventFilter(&counter);
    QEventLoop loop;
    RunResult result = TimeLoopPhotoRun(
        state, url, size, main_thread, set_status, [&] { loop.exec(); },
        [&] { QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection); });
    if (notices)
        *notices = counter.events;
    return result;
}
#endif

#ifdef _WIN32
// Through `main_thread` and a message loop as the program's.
RunResult TimeWin32PhotoRun(tarvenia::SharedState& state, const std::string& url, std::size_t size,
    tarvenia::MainThread& main_thread, const std::function<void(const std::string&)>& set_status)
{
    const DWORD main_id = ::GetCurrentThreadId();
    constexpr UINT kRunOver = WM_APP + 40;
    return TimeLoopPhotoRun(
        state, url, size, main_thread, set_status,
        [&] {
            MSG msg;
            while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
                if (!msg.hwnd && msg.message == kRunOver)
                    break;
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        },
        [&] { ::PostThreadMessageA(main_id, kRunOver, 0, 0); });
}

// For comparison, the hand-over without the mailbox: a message sent per
// call to a window of the main thread, whose procedure runs it.
class SentMessageMainThread final : public tarvenia::MainThread {
public:
    SentMessageMainThread()
    {
        HINSTANCE instance = ::GetModuleHandleA(nullptr);
        WNDCLASSA wc {};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = instance;
        wc.lpszClassName = "TarveniaBenchSent";
        ::RegisterClassA(&wc);
        hwnd_ = ::CreateWindowExA(
            0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    }
    ~SentMessageMainThread() override { ::DestroyWindow(hwnd_); }
    void RunAndWait(const std::function<void()>& fn) override
    {
        Call call { &fn, nullptr };
        ::SendMessageA(hwnd_, kCall, 0, reinterpret_cast<LPARAM>(&call));
        if (call.error)
            std::rethrow_exception(call.error);
    }

private:
    static constexpr UINT kCall = WM_APP + 41;
    struct Call {
        const std::function<void()>* fn;
        std::exception_ptr error;
    };
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg != kCall)
            return ::DefWindowProcA(hwnd, msg, wp, lp);
        auto* call = reinterpret_cast<Call*>(lp);
        try {
            (*call->fn)();
        } catch (...) {
            call->error = std::current_exception();
        }
        return 0;
    }
    HWND hwnd_ = nullptr;
};
#endif

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::size_t size = 8u << 20;
    const int spin = 200; // yields, some tens of microseconds
#ifdef _WIN32
    // The demo service's big photo, and the curl figure measured beside it.
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_download.exe ROUNDS URL CURL_MB_PER_S\n");
        return 2;
    }
    const std::string url = argv[2];
    const double curl_reference = std::atof(argv[3]);
    // The program's window (a display is needed), its status bar set as the
    // program sets it.
    tarvenia::SharedState form_state;
    NoWorkers no_workers;
    NoWallpaper no_wallpaper;
    tarvenia::win32::Win32View view(::GetModuleHandleA(nullptr), 24);
    tarvenia::TForm1 form(view, form_state, no_workers, no_wallpaper, 24);
    const tarvenia::testing::TempFolder form_folder;
    form_state.Paths = tarvenia::WorkPaths::InFolder(form_folder.Dir());
    view.Create(form);
    form.FormCreate(form_folder.Dir());
    view.Show();
    std::vector<double> win32_string_mbs, win32_form_mbs, win32_sent_mbs;
    RunResult win32_last;
#else
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
    std::vector<double> qt_form_notices;
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
#endif

    const tarvenia::testing::TempFolder folder;
    const std::filesystem::path& dir = folder.Root();
    tarvenia::SharedState state;
    state.Paths = tarvenia::WorkPaths::InFolder(folder.Dir());
    state.CurrentKey = "20030305";
    const std::string curl_out = (dir / "curl.jpg").string();

    std::vector<double> cv_mbs, spin_mbs, bare_mbs, curl_mbs;
    RunResult last;
    for (int r = 0; r < rounds; ++r) {
        last = TimePhotoRun(state, url, 0, size);
        cv_mbs.push_back(last.mb_per_s);
        spin_mbs.push_back(TimePhotoRun(state, url, spin, size).mb_per_s);
        bare_mbs.push_back(TimePhotoRun(state, url, -1, size).mb_per_s);
#ifdef _WIN32
        std::string text;
        {
            tarvenia::win32::Win32MainThread main_thread(view.HandleRef());
            win32_last = TimeWin32PhotoRun(
                state, url, size, main_thread, [&](const std::string& t) { text = t; });
            win32_string_mbs.push_back(win32_last.mb_per_s);
            win32_form_mbs.push_back(
                TimeWin32PhotoRun(state, url, size, main_thread, [&](const std::string& t) {
                    view.SetStatusText(t, false);
                }).mb_per_s);
        }
        SentMessageMainThread sent;
        win32_sent_mbs.push_back(
            TimeWin32PhotoRun(state, url, size, sent, [&](const std::string& t) {
                view.SetStatusText(t, false);
            }).mb_per_s);
#else
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
        long notices = 0;
        qt_form_mbs.push_back(TimeQtPhotoRun(
            state, url, size, [&](const std::string& t) { form.SetStatusText(t, false); }, &notices)
                                  .mb_per_s);
        qt_form_notices.push_back(static_cast<double>(notices));
#endif

        std::string command = "curl -s -o '" + curl_out + "' '" + url + "'";
        auto start = Clock::now();
        int rc = std::system(command.c_str());
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (rc == 0 && std::filesystem::exists(curl_out)
            && std::filesystem::file_size(curl_out) == size)
            curl_mbs.push_back(size / 1e6 / seconds);
#endif
    }
#ifdef _WIN32
    if (curl_reference > 0)
        curl_mbs.push_back(curl_reference);
    view.Close();
#else
    server.Stop();
    serving.join();
#endif

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
    std::printf("  Qt event loop: %.0f notices per run woke the main thread for its hand-overs "
                "(program's window)\n",
        Median(qt_form_notices));
#endif
#ifdef _WIN32
    std::printf("  Win32 message loop: %ld hand-overs per run, last status \"%s\"\n",
        win32_last.handovers, win32_last.last_status.c_str());
    line("photo run, Win32 message loop, status into a string", win32_string_mbs);
    line("photo run, Win32 message loop, status into the program's window", win32_form_mbs);
    line("photo run, Win32, a message sent per read, program's window", win32_sent_mbs);
    if (c > 0)
        std::printf("  %-58s %7.1f MB/s\n", "curl -s -o (Linux, measured by the script)", c);
    else
        std::printf("  curl figure not given: no reference\n");
    std::printf("  target: photo run through the program's window >= 0.8 x curl\n");
#else
    if (c > 0)
        std::printf("  %-58s %7.1f MB/s\n", "curl -s -o (process start included)", c);
    else
        std::printf("  curl program not available: no reference\n");
    std::printf("  target: photo run through the Qt event loop >= 100 MB/s\n");
    std::printf("  target: photo run through the program's window >= 0.8 x curl\n");
#endif
    return 0;
}
