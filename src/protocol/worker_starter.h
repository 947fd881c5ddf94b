// How the window starts a worker, without knowing the worker or the network
// library behind it. The program's starter (web/) creates the worker
// suspended, lets it free itself at the end, sets its address and starts it;
// tests record the starts instead.
#pragma once

#include <string>

namespace tarvenia {

// The three runs a worker can perform. The window names the run it starts;
// it still sets the shared state each run reads (ConfirmPending,
// CurrentKey) before the start, as before.
enum class RunKind {
    Confirmation, // sends the confirmation request; takes ConfirmPending
    Photo, // downloads one photo into the photo file
    FirstConnection, // daily response, then the catalog copy
};

class WorkerStarter {
public:
    virtual ~WorkerStarter() = default;
    virtual void StartWorker(RunKind kind, const std::string& url) = 0;
};

} // namespace tarvenia
