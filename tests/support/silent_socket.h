// A socket that takes connections into its backlog and never speaks: a bus
// daemon that has hung.
#pragma once

#include <string>

namespace tarvenia::testing {

class SilentSocket {
public:
    explicit SilentSocket(const std::string& path);
    ~SilentSocket();
    SilentSocket(const SilentSocket&) = delete;
    SilentSocket& operator=(const SilentSocket&) = delete;

    std::string address() const { return "unix:path=" + path_; }

private:
    std::string path_;
    int fd_ = -1;
};

} // namespace tarvenia::testing
