// The demo photo service: the daily script, the catalog, the confirmation
// script and two photo stores, served for their own host names both
// directly and to clients that use this process as their HTTP proxy.
#pragma once

#include "demo_catalog.h"

#include <atomic>
#include <cstddef>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace demo {

struct DemoOptions {
    int port = 0; // 0: any free port
    std::string log_path; // confirmations are appended here when set
    std::string today; // YYYYMMDD; empty: the local date
    int width = 800;
    int height = 600;
    int days = 30;
    std::size_t big_photo_bytes = 0; // > 0: also serves /fotos/grande.jpg of this size
    std::string access_log_path; // every request's host and target are appended here
    // What goes wrong, for the client's tests: the newest photo answered with
    // an error page ("missing-photo") or as a JPEG that does not decode
    // ("broken-photo"), an empty catalog ("empty-catalog").
    std::set<std::string> faults;
};

struct Answer {
    int status = 200;
    std::string content_type;
    std::string body;
};

class DemoServer {
public:
    // Starts painting and compressing every photo in the background; a
    // photo asked for before its turn is painted at once. Throws
    // std::runtime_error on bad options.
    explicit DemoServer(const DemoOptions& options);
    ~DemoServer();

    // The answer to a GET of `target` (path and query, or a proxy's
    // absolute address) sent with Host header `host`.
    Answer Route(const std::string& host, const std::string& target);

    // Binds 127.0.0.1; returns the port, or -1.
    int Bind();
    // Serves until Stop().
    void Run();
    void Stop();

    const DemoCatalog& Catalog() const { return catalog_; }
    const std::string& BigPhoto() const { return big_photo_; }
    // The JPEG file of a photo that is in its store, or null.
    const std::string* Photo(const std::string& key);

private:
    struct Slot {
        std::once_flag painted;
        std::string jpeg;
    };
    const std::string& Painted(std::size_t index);
    void RecordConfirmation(const std::string& key);
    void RecordRequest(const std::string& host, const std::string& target);
    bool Fault(const char* name) const { return options_.faults.count(name) > 0; }

    DemoOptions options_;
    DemoCatalog catalog_;
    std::vector<std::unique_ptr<Slot>> slots_; // parallel to the catalog's photos
    std::string big_photo_;
    std::atomic<bool> closing_ { false };
    std::vector<std::thread> painters_;
    std::mutex log_mutex_;
    std::string broken_photo_;
    std::unique_ptr<httplib::Server> server_;
};

// Parses the command line; throws std::runtime_error with a usage text.
DemoOptions ParseOptions(int argc, char** argv);

} // namespace demo
