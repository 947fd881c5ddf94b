#include "base/file.h"

#include "base/errno_code.h"
#include "base/error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvenia {

namespace {

    bool ParentMissing(const std::string& path)
    {
        auto slash = path.find_last_of('/');
        if (slash == std::string::npos)
            return false;
        std::string parent = slash == 0 ? "/" : path.substr(0, slash);
        struct stat st { };
        return ::stat(parent.c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
    }

    [[noreturn]] void Fail(int err, const std::string& path)
    {
        throw IoError(IoCodeForErrno(err, err == ENOENT && ParentMissing(path)));
    }

} // namespace

File::File(const std::string& path, Mode mode)
{
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::Read:
        flags |= O_RDONLY;
        break;
    case Mode::Create:
    case Mode::CreateExclusive:
        // A link at the name is refused, never followed: emptying its target
        // would cut a file of someone else's choosing.
        flags |= O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW;
        break;
    case Mode::Append:
        flags |= O_RDWR;
        break;
    case Mode::ReadWriteShared:
        flags |= O_RDWR;
        break;
    }
    do {
        fd_ = ::open(path.c_str(), flags, 0666);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        Fail(errno, path);
    struct stat st { };
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw IoError(5);
    }
    if (mode == Mode::Append && ::lseek(fd_, 0, SEEK_END) < 0) {
        int err = errno;
        ::close(fd_);
        fd_ = -1;
        Fail(err, path);
    }
}

File::~File()
{
    if (fd_ >= 0)
        ::close(fd_);
}

File::File(File&& other) noexcept
    : fd_(other.fd_)
{
    other.fd_ = -1;
}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

std::size_t File::Read(void* data, std::size_t size)
{
    for (;;) {
        ssize_t n = ::read(fd_, data, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            Fail(errno, "");
    }
}

void File::Write(const void* data, std::size_t size)
{
    auto p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno, "");
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

std::uint64_t File::Size()
{
    struct stat st { };
    if (::fstat(fd_, &st) != 0)
        Fail(errno, "");
    return static_cast<std::uint64_t>(st.st_size);
}

void File::Seek(std::uint64_t offset)
{
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0)
        Fail(errno, "");
}

void File::Truncate(std::uint64_t size)
{
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        Fail(errno, "");
}

void File::Close()
{
    if (fd_ < 0)
        return;
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        Fail(errno, "");
}

bool File::Exists(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void File::Erase(const std::string& path)
{
    if (::unlink(path.c_str()) != 0)
        Fail(errno, path);
}

void File::Rename(const std::string& from, const std::string& to)
{
    if (::rename(from.c_str(), to.c_str()) != 0)
        Fail(errno, to);
}

} // namespace tarvenia
