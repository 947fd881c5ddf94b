// Stand-ins for the network, the main thread and the work folder, shared by
// the worker's tests.
#pragma once

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
#include <mutex>
#include <set>
#include <string>
#include <thread>
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

// A main thread that takes hand-overs from other threads: the test's own
// thread runs Pump, which answers them until `done` holds or time runs out.
class PumpedMainThread final : public MainThread {
public:
    void RunAndWait(const std::function<void()>& fn) override
    {
        std::unique_lock lock(mutex_);
        queue_.push_back(&fn);
        cv_.notify_all();
        cv_.wait(lock, [&] { return served_.count(&fn) > 0; });
        served_.erase(&fn);
    }

    // True when `done` held before the limit.
    bool Pump(const std::function<bool()>& done,
        std::chrono::milliseconds limit = std::chrono::seconds(10))
    {
        auto end = std::chrono::steady_clock::now() + limit;
        std::unique_lock lock(mutex_);
        while (!done()) {
            if (queue_.empty()) {
                if (cv_.wait_until(lock,
                        std::min(
                            end, std::chrono::steady_clock::now() + std::chrono::milliseconds(5)))
                        == std::cv_status::timeout
                    && std::chrono::steady_clock::now() > end)
                    return false;
                continue;
            }
            const std::function<void()>* fn = queue_.front();
            queue_.pop_front();
            (*fn)();
            served_.insert(fn);
            cv_.notify_all();
        }
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<const std::function<void()>*> queue_;
    std::set<const std::function<void()>*> served_;
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
