#include "base/file_lock.h"

#include "base/error.h"

#include <windows.h>

namespace tarvenia {

namespace {

    HANDLE H(void* handle) { return static_cast<HANDLE>(handle); }

    // Windows locks are mandatory for the locked bytes: the lock covers one
    // byte far past the note, which stays readable (locking beyond the end
    // of a file is allowed).
    OVERLAPPED LockedByte()
    {
        OVERLAPPED at {};
        at.Offset = 0x40000000;
        return at;
    }

} // namespace

FileLock::FileLock(const std::string& path)
{
    // Not inheritable (the default): a child must not keep the lock.
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = ::GetLastError();
        throw IoError(err == ERROR_FILE_NOT_FOUND ? 2
                : err == ERROR_PATH_NOT_FOUND     ? 3
                : err == ERROR_ACCESS_DENIED      ? 5
                                                  : static_cast<int>(err));
    }
    handle_ = h;
}

FileLock::~FileLock()
{
    Unlock();
    if (handle_)
        ::CloseHandle(H(handle_));
}

bool FileLock::TryLock()
{
    if (locked_)
        return true;
    OVERLAPPED at = LockedByte();
    locked_ = ::LockFileEx(
                  H(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)
        != 0;
    return locked_;
}

void FileLock::Unlock()
{
    if (!locked_)
        return;
    OVERLAPPED at = LockedByte();
    ::UnlockFileEx(H(handle_), 0, 1, 0, &at);
    locked_ = false;
}

void FileLock::WriteNote(const std::string& note)
{
    OVERLAPPED start {};
    DWORD written = 0;
    if (::WriteFile(H(handle_), note.data(), static_cast<DWORD>(note.size()), &written, &start)) {
        ::SetFilePointer(H(handle_), static_cast<LONG>(note.size()), nullptr, FILE_BEGIN);
        ::SetEndOfFile(H(handle_));
    }
}

std::string FileLock::ReadNote()
{
    char buffer[64];
    OVERLAPPED start {};
    DWORD n = 0;
    if (!::ReadFile(H(handle_), buffer, sizeof buffer, &n, &start))
        return {};
    return std::string(buffer, n);
}

} // namespace tarvenia
