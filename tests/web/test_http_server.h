// An HTTP server on 127.0.0.1 for the client's tests: it records every
// request and answers through a handler given by the test. It takes both
// ordinary requests and a proxy's absolute-URI requests.
#pragma once

#include "web/http_client.h"

#include <httplib.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarvenia::testing {

struct RecordedRequest {
    std::string target; // as it stood in the request line
    std::string host; // from the absolute URI, otherwise the Host header
    std::string path; // path and query, without scheme and host
    httplib::Headers headers;

    std::string Header(const std::string& name) const
    {
        auto it = headers.find(name);
        return it == headers.end() ? std::string() : it->second;
    }
    bool Has(const std::string& name) const { return headers.count(name) > 0; }
};

class TestHttpServer {
public:
    using Handler = std::function<void(const RecordedRequest&, httplib::Response&)>;

    explicit TestHttpServer(Handler handler)
        : handler_(std::move(handler))
    {
        server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
            RecordedRequest r = Describe(req);
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(r);
            }
            handler_(r, res);
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }

    ~TestHttpServer()
    {
        stopping = true;
        server_.stop();
        if (thread_.joinable())
            thread_.join();
    }

    int Port() const { return port_; }
    std::string Url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    std::vector<RecordedRequest> Requests()
    {
        std::lock_guard lock(mutex_);
        return requests_;
    }

    // Raised when the server shuts down; slow handlers watch it.
    std::atomic<bool> stopping { false };

    static RecordedRequest Describe(const httplib::Request& req)
    {
        RecordedRequest r;
        r.target = req.target;
        r.headers = req.headers;
        r.host = req.get_header_value("Host");
        r.path = req.target;
        // A proxy's request line names the whole address.
        for (const char* scheme : { "http://", "https://" }) {
            std::string s = scheme;
            if (r.target.rfind(s, 0) == 0) {
                std::size_t slash = r.target.find('/', s.size());
                r.host = r.target.substr(
                    s.size(), slash == std::string::npos ? std::string::npos : slash - s.size());
                r.path = slash == std::string::npos ? "/" : r.target.substr(slash);
            }
        }
        return r;
    }

private:
    Handler handler_;
    httplib::Server server_;
    int port_ = -1;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<RecordedRequest> requests_;
};

// A body read to its end the way the worker reads it, with the size of
// every read.
struct Drained {
    std::string body;
    std::vector<std::uint32_t> reads;
};

inline Drained Drain(HttpRequest* request)
{
    Drained d;
    char buffer[1024];
    for (int guard = 0; guard < 200000; ++guard) {
        std::uint32_t n = request ? request->Read(buffer, sizeof buffer) : 0;
        d.reads.push_back(n);
        d.body.append(buffer, n);
        if (n == 0)
            break;
    }
    return d;
}

} // namespace tarvenia::testing
