// The promises of http_client.h, checked against the platform's client by
// one suite (http_client_contract_test.cpp). Each platform's test file
// describes its client with an HttpVariant and instantiates the suite with
// it, so a case added to the suite runs against every client.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tarvenia::testing {

struct HttpVariant {
    // Puts the test's proxy settings in place (none, loopback direct); run
    // before every case.
    std::function<void()> reset;
    // Makes "127.0.0.1:PORT" the system's proxy until the returned object is
    // destroyed.
    std::function<std::shared_ptr<void>(const std::string& proxy)> use_proxy;
    // Addresses of files that exist on this system: never to be fetched.
    std::vector<std::string> local_files;
    // A port of loopback that nobody listens on.
    std::function<int()> closed_port;
    // A server that stops sending is left after the stall limit (Wine's
    // WinInet waits until the server gives up instead).
    bool honours_stall_limit;
    // The stall limit given to the client in the cases that stall.
    long stall_timeout_ms;
    // Asks for compressed bodies (and hands them over decompressed).
    bool asks_for_gzip;
    // A reload also sends "Cache-Control: no-cache" (besides the Pragma).
    bool reload_sends_cache_control;
};

class HttpClientContract : public ::testing::TestWithParam<const HttpVariant*> {
protected:
    void SetUp() override { GetParam()->reset(); }
    const HttpVariant& Variant() const { return *GetParam(); }
};

} // namespace tarvenia::testing
