#include "web/vazi_dov_thread.h"

namespace tarvenia {

void ThreadWorkerStarter::StartWorker(RunKind kind, const std::string& url)
{
    // The run reads the shared state when it begins; everything it needs has
    // been set by the caller before this point.
    auto* worker = new TVaziDovThread(state_, services_, kind);
    worker->FreeOnTerminate = true;
    worker->Url = url;
    try {
        worker->Start();
    } catch (...) {
        // No thread could be made: the worker never runs, so nothing else
        // will free it.
        delete worker;
        throw;
    }
}

} // namespace tarvenia
