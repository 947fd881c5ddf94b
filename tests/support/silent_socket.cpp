#include "support/silent_socket.h"

#include <cstdio>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tarvenia::testing {

SilentSocket::SilentSocket(const std::string& path)
    : path_(path)
{
    unlink(path.c_str());
    fd_ = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd_, 16);
}

SilentSocket::~SilentSocket()
{
    close(fd_);
    unlink(path_.c_str());
}

} // namespace tarvenia::testing
