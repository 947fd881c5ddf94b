// The download worker: one object performs exactly one run with the photo
// service on its own thread, then frees itself.
#pragma once

#include "protocol/shared_state.h"
#include "protocol/worker_starter.h"
#include "web/http_client.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tarvenia {

class MainThread;

// What a worker needs from the program around it.
struct WorkerServices {
    MainThread* main_thread = nullptr;
    // Sets the status bar's text; called on the main thread only.
    std::function<void(const std::string&)> set_status;
    // Opens an Internet session (the platform's client by default).
    std::function<std::unique_ptr<HttpSession>()> open_session
        = [] { return OpenInternetSession(); };
    // The photo key of today's local date (DateKeyToday when empty).
    std::function<std::string()> today_key;
    // Told on the worker's own thread when a run started with Start has
    // ended, after its flag (if any) was raised: whoever waits for results
    // learns when no more can come from this run.
    std::function<void(RunKind)> run_ended;
};

class TVaziDovThread {
public:
    // Created suspended, for the run its starter names, so two workers in
    // flight never swap runs. A confirmation worker clears ConfirmPending as
    // it takes it.
    TVaziDovThread(SharedState& state, WorkerServices services, RunKind kind);
    virtual ~TVaziDovThread() = default;

    std::string Url;
    std::string StatusText;
    bool FreeOnTerminate = false;

    RunKind Kind() const { return kind_; }

    // Starts the run on a thread of its own (detached). With FreeOnTerminate
    // the object deletes itself when the run ends; run_ended is told last.
    void Start();
    // The run itself. No failure escapes it.
    void Execute();
    // Runs on the main thread: the status bar's text := StatusText.
    void ShowStatus();

private:
    void Synchronize();
    void ConfirmationRun(HttpSession& session);
    void PhotoRun(HttpSession& session);
    void FirstConnectionRun(HttpSession& session);
    // Streams the body into `path` with a status after every read; false
    // when the file could not be created or written.
    bool Download(HttpRequest& request, const std::string& path);

    SharedState& state_;
    WorkerServices services_;
    RunKind kind_;
    std::int32_t byte_count_ = 0;
};

// Starts workers the way the window always does: create suspended, free
// itself at the end, set Url, start.
class ThreadWorkerStarter : public WorkerStarter {
public:
    ThreadWorkerStarter(SharedState& state, WorkerServices services)
        : state_(state)
        , services_(std::move(services))
    {
    }
    void StartWorker(RunKind kind, const std::string& url) override;

private:
    SharedState& state_;
    WorkerServices services_;
};

} // namespace tarvenia
