// The HTTP client as a loadable module (Linux): http_curl.cpp is built as the
// module "http.so", whose one export is the entry point below, and
// http_module.cpp loads it with the first session the program opens, so
// that libcurl and the libraries it needs are not loaded with the window.
#pragma once

#include "base/loadable_module.h"
#include "web/http_client.h"

#include <memory>
#include <string>

// A new session of the module's client, or null. The number in the name is
// the version of http_client.h's interfaces: raise it when they change, so
// that a module of another build is never taken for this one's.
extern "C" TARVENIA_MODULE_EXPORT tarvenia::HttpSession* tarvenia_open_http_session_1(
    const tarvenia::HttpLimits* limits) noexcept;

namespace tarvenia {

inline constexpr const char* kHttpModule = "http.so";

// A session of the client in `module` (a file name or a path, as
// ModuleSymbol takes it). When the module cannot be loaded, a closed
// session: every request reads 0 bytes, as a request that failed.
std::unique_ptr<HttpSession> OpenModuleSession(const std::string& module, const HttpLimits& limits);

} // namespace tarvenia
