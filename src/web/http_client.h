// What the download worker relies on from an HTTP client. Variants:
// http_curl.cpp (Linux, libcurl) and http_wininet.cpp (Windows, WinInet).
// No failure ever escapes: a request that could not be opened or that broke
// simply reads 0 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tarvenia {

class HttpRequest {
public:
    virtual ~HttpRequest() = default; // closes the request
    // Delivers the next bytes of the body, at most `size` (the worker passes
    // 1024): as many as `size` unless the body ends or breaks first; 0 at the
    // end of the body and on any failure.
    virtual std::uint32_t Read(char* buffer, std::uint32_t size) noexcept = 0;
};

// Limits that keep a hostile or broken server from holding a worker or
// filling the disk. Tests shorten them.
struct HttpLimits {
    long connect_timeout_ms = 30'000;
    long stall_timeout_ms = 60'000; // no byte for this long ends the request
    std::uint64_t max_body_bytes = 64ull << 20; // the body is cut here
};

class HttpSession {
public:
    virtual ~HttpSession() = default; // closes the session
    // Sends a GET of the full address and returns once it has been answered
    // (or has failed). `reload` bypasses every cache on the way. Null only
    // when not even a failed request could be had (memory exhausted);
    // callers treat that like an address that cannot be opened.
    virtual std::unique_ptr<HttpRequest> OpenUrl(const std::string& url, bool reload) noexcept = 0;
};

// A session of the platform's client with the agent name "VaziDov" and the
// system's proxy settings. On Linux the client is a loadable module
// (http_module.h), loaded by the first session: when it cannot be loaded,
// the session is a closed one.
std::unique_ptr<HttpSession> OpenInternetSession(const HttpLimits& limits = {});

// A session none of whose requests can be opened: each reads 0 bytes, as a
// request that failed. Stands in where no session of a client can be had.
std::unique_ptr<HttpSession> ClosedSession();

} // namespace tarvenia
