// How the window starts a worker, without knowing the worker or the network
// library behind it. The program's starter (web/) creates the worker
// suspended, lets it free itself at the end, sets its address and starts it;
// tests record the addresses instead.
#pragma once

#include <string>

namespace tarvenia {

class WorkerStarter {
public:
    virtual ~WorkerStarter() = default;
    virtual void StartWorker(const std::string& url) = 0;
};

} // namespace tarvenia
