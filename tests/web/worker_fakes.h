// Stand-ins for the network, the main thread and the work folder, shared by
// the worker's tests.
#pragma once

#include "protocol/hand_over_mailbox.h"
#include "protocol/main_thread.h"
#include "support/temp_folder.h"
#include "web/http_client.h"
#include "web/vazi_dov_thread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tarvenia::testing {

// Bytes that differ from position to position, so a misplaced block shows.
inline std::string Body(std::size_t size, unsigned seed = 1)
{
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 131 + seed * 7 + i / 251) & 0xFF);
    return s;
}

// Cuts `body` into the given read sizes (a trailing 0 is implied).
inline std::vector<std::string> Split(
    const std::string& body, const std::vector<std::size_t>& sizes)
{
    std::vector<std::string> reads;
    std::size_t pos = 0;
    for (std::size_t n : sizes) {
        reads.push_back(body.substr(pos, n));
        pos += n;
    }
    return reads;
}

// What the fake network was asked for, and what it answers.
struct FakeNetwork {
    struct Open {
        std::string url;
        bool reload;
    };
    std::mutex mutex;
    std::map<std::string, std::vector<std::string>> script; // url -> reads
    std::vector<Open> opens;
    std::map<std::string, int> reads_done; // url -> Read calls
    // Called inside OpenUrl (outside the lock), e.g. to hold a worker there.
    std::function<void(const std::string&)> on_open;
    // Sessions not yet closed: a worker's run is over once its session is.
    std::atomic<int> sessions_open { 0 };

    std::vector<Open> Opens()
    {
        std::lock_guard lock(mutex);
        return opens;
    }
    int ReadsOf(const std::string& url)
    {
        std::lock_guard lock(mutex);
        return reads_done[url];
    }
};

class ScriptedRequest final : public HttpRequest {
public:
    ScriptedRequest(FakeNetwork& net, std::string url, std::vector<std::string> reads)
        : net_(net)
        , url_(std::move(url))
        , reads_(reads.begin(), reads.end())
    {
    }
    std::uint32_t Read(char* buffer, std::uint32_t size) noexcept override
    {
        {
            std::lock_guard lock(net_.mutex);
            ++net_.reads_done[url_];
        }
        if (reads_.empty())
            return 0;
        std::string next = std::move(reads_.front());
        reads_.pop_front();
        std::size_t n = std::min<std::size_t>(size, next.size());
        std::memcpy(buffer, next.data(), n);
        return static_cast<std::uint32_t>(n);
    }

private:
    FakeNetwork& net_;
    std::string url_;
    std::deque<std::string> reads_;
};

// Addresses without a script cannot be opened (no request at all).
class FakeSession final : public HttpSession {
public:
    explicit FakeSession(FakeNetwork& net)
        : net_(net)
    {
        ++net_.sessions_open;
    }
    ~FakeSession() override { --net_.sessions_open; }
    std::unique_ptr<HttpRequest> OpenUrl(const std::string& url, bool reload) noexcept override
    {
        std::vector<std::string> reads;
        bool known = false;
        {
            std::lock_guard lock(net_.mutex);
            net_.opens.push_back({ url, reload });
            if (auto it = net_.script.find(url); it != net_.script.end()) {
                reads = it->second;
                known = true;
            }
        }
        if (net_.on_open)
            net_.on_open(url);
        if (!known)
            return nullptr;
        return std::make_unique<ScriptedRequest>(net_, url, std::move(reads));
    }

private:
    FakeNetwork& net_;
};

// The main thread of a test: runs each hand-over at once, one at a time, and
// keeps the texts shown.
class StatusRecorder final : public MainThread {
public:
    void RunAndWait(const std::function<void()>& fn) override
    {
        std::lock_guard lock(mutex_);
        fn();
    }
    // To be used as WorkerServices::set_status (runs inside RunAndWait).
    void Show(const std::string& text) { texts_.push_back(text); }
    std::vector<std::string> Texts()
    {
        std::lock_guard lock(mutex_);
        return texts_;
    }

    // Services of a worker whose statuses come here and whose "today" is
    // `today_key`; the session is the platform's client unless replaced.
    WorkerServices Services(const std::string& today_key)
    {
        WorkerServices s;
        s.main_thread = this;
        s.set_status = [this](const std::string& text) { Show(text); };
        s.today_key = [today_key] { return today_key; };
        return s;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> texts_;
};

// A work folder, the shared state and recorded statuses for worker runs,
// against the platform's client unless `services.open_session` is replaced.
struct WorkerRig {
    explicit WorkerRig(const std::string& today_key = "20030305")
        : services(main.Services(today_key))
    {
        state.Paths = WorkPaths::InFolder(dir.Dir());
    }
    // One worker's run on this thread, the way its own thread would do it.
    void Run(RunKind kind, const std::string& url)
    {
        TVaziDovThread worker(state, services, kind);
        worker.Url = url;
        worker.Execute();
    }

    StatusRecorder main;
    TempFolder dir;
    SharedState state;
    WorkerServices services;
};

// A main thread that takes hand-overs from other threads through the
// front-ends' mailbox: the test's own thread, which makes it, runs Pump, a
// small event loop that serves the mailbox's notices and, between them, a
// timer and a paint as a toolkit's loop would.
class PumpedMainThread final : public MainThread {
public:
    PumpedMainThread()
        : mailbox_(HandOverMailbox::Make([this] {
            std::lock_guard lock(mutex_);
            ++notices_;
            cv_.notify_all();
            return true;
        }))
    {
    }
    ~PumpedMainThread() override { mailbox_->Close(); }
    void RunAndWait(const std::function<void()>& fn) override
    {
        const auto mailbox = mailbox_;
        mailbox->RunAndWait(fn);
    }
    void StartTimer(std::chrono::milliseconds interval, std::function<void()> tick)
    {
        interval_ = interval;
        tick_ = std::move(tick);
        due_ = Clock::now() + interval;
    }
    void RequestPaint(std::function<void()> painted) { paint_ = std::move(painted); }

    // True when `done` held before the limit.
    bool Pump(const std::function<bool()>& done,
        std::chrono::milliseconds limit = std::chrono::seconds(10))
    {
        const auto end = Clock::now() + limit;
        while (!done()) {
            const auto now = Clock::now();
            if (now > end)
                return false;
            if (tick_ && now >= due_) {
                due_ = now + interval_;
                tick_();
                continue;
            }
            if (paint_) {
                std::exchange(paint_, nullptr)();
                continue;
            }
            auto wake = std::min(end, now + std::chrono::milliseconds(5));
            if (tick_)
                wake = std::min(wake, due_);
            {
                std::unique_lock lock(mutex_);
                if (!cv_.wait_until(lock, wake, [&] { return notices_ > 0; }))
                    continue;
                --notices_;
            }
            if (mailbox_->Watch() == HandOverMailbox::WatchEnd::kTimeLimit)
                mailbox_->Leave();
        }
        return true;
    }

private:
    using Clock = std::chrono::steady_clock;
    std::shared_ptr<HandOverMailbox> mailbox_;
    std::mutex mutex_;
    std::condition_variable cv_;
    int notices_ = 0; // under mutex_
    // Pump's thread only.
    std::chrono::milliseconds interval_ {};
    Clock::time_point due_ {};
    std::function<void()> tick_, paint_;
};

// Waits (bounded) until `done` holds; true when it did.
inline bool WaitFor(
    const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace tarvenia::testing
