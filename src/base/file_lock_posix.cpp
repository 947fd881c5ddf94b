#include "base/file_lock.h"

#include "base/errno_code.h"
#include "base/error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tarvenia {

FileLock::FileLock(const std::string& path)
{
    // Close-on-exec: a desktop tool the program starts must not inherit the
    // lock and keep it after the program has ended.
    do {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        throw IoError(IoCodeForErrno(errno, errno == ENOENT));
}

FileLock::~FileLock()
{
    if (fd_ >= 0)
        ::close(fd_); // releases the lock with it
}

bool FileLock::TryLock()
{
    if (locked_)
        return true;
    int rc;
    do {
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    locked_ = rc == 0;
    return locked_;
}

void FileLock::Unlock()
{
    if (locked_)
        ::flock(fd_, LOCK_UN);
    locked_ = false;
}

void FileLock::WriteNote(const std::string& note)
{
    // Short enough to go in one write; a reader may see it half written only
    // in the instant of the write, and takes it as unknown.
    if (::ftruncate(fd_, 0) != 0)
        return;
    [[maybe_unused]] ssize_t n = ::pwrite(fd_, note.data(), note.size(), 0);
}

std::string FileLock::ReadNote()
{
    char buffer[64];
    ssize_t n = ::pread(fd_, buffer, sizeof buffer, 0);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

} // namespace tarvenia
