#include "web/http_module.h"

#include <atomic>

namespace tarvenia {

namespace {

    using Entry = decltype(tarvenia_open_http_session_1);

    Entry* Find(const std::string& module)
    {
        return ModuleEntry<Entry>(module, "tarvenia_open_http_session_1");
    }

    std::unique_ptr<HttpSession> Open(Entry* entry, const HttpLimits& limits)
    {
        std::unique_ptr<HttpSession> session(entry ? entry(&limits) : nullptr);
        return session ? std::move(session) : ClosedSession();
    }

} // namespace

std::unique_ptr<HttpSession> OpenModuleSession(const std::string& module, const HttpLimits& limits)
{
    return Open(Find(module), limits);
}

std::unique_ptr<HttpSession> OpenInternetSession(const HttpLimits& limits)
{
    // Loaded by the first session, on a worker's thread. Only a module that
    // was found is remembered: a load that failed (a missing file, no file
    // descriptor left) is tried again by the next request, which fails as
    // silently if it fails again.
    static std::atomic<Entry*> found { nullptr };
    Entry* entry = found.load(std::memory_order_acquire);
    if (!entry) {
        entry = Find(kHttpModule);
        found.store(entry, std::memory_order_release);
    }
    return Open(entry, limits);
}

} // namespace tarvenia
