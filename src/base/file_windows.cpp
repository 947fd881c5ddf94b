#include "base/file.h"

#include "base/error.h"

#include <windows.h>

namespace tarvenia {

namespace {

    // Windows error codes to the program's numbering: the four named cases
    // keep their texts, everything else is reported with its own number (a
    // file held open by another program, ERROR_SHARING_VIOLATION, is
    // "I/O error 32", not a denied access).
    int ProgramCode(DWORD err)
    {
        switch (err) {
        case ERROR_FILE_NOT_FOUND:
            return 2;
        case ERROR_PATH_NOT_FOUND:
            return 3;
        case ERROR_TOO_MANY_OPEN_FILES:
            return 4;
        case ERROR_ACCESS_DENIED:
            return 5;
        default:
            return static_cast<int>(err);
        }
    }

    [[noreturn]] void Fail(DWORD err) { throw IoError(ProgramCode(err)); }
    [[noreturn]] void FailLast() { Fail(::GetLastError()); }

    struct OpenSpec {
        DWORD access;
        DWORD share;
        DWORD disposition;
    };

    OpenSpec SpecFor(File::Mode mode)
    {
        constexpr DWORD rw = GENERIC_READ | GENERIC_WRITE;
        switch (mode) {
        case File::Mode::Read:
            return { GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING };
        case File::Mode::Create:
            return { rw, FILE_SHARE_READ, CREATE_ALWAYS };
        case File::Mode::CreateExclusive:
            return { rw, 0, CREATE_ALWAYS };
        case File::Mode::Append:
            return { rw, FILE_SHARE_READ, OPEN_EXISTING };
        case File::Mode::ReadWriteShared:
            return { rw, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING };
        }
        return { GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING };
    }

    HANDLE H(void* handle) { return static_cast<HANDLE>(handle); }

} // namespace

File::File(const std::string& path, Mode mode)
{
    const OpenSpec spec = SpecFor(mode);
    HANDLE h = ::CreateFileA(path.c_str(), spec.access, spec.share, nullptr, spec.disposition,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        FailLast();
    handle_ = h;
    if (mode == Mode::Append) {
        LARGE_INTEGER zero {};
        if (!::SetFilePointerEx(h, zero, nullptr, FILE_END)) {
            DWORD err = ::GetLastError();
            ::CloseHandle(h);
            handle_ = nullptr;
            Fail(err);
        }
    }
}

File::~File()
{
    if (handle_)
        ::CloseHandle(H(handle_));
}

File::File(File&& other) noexcept
    : handle_(other.handle_)
{
    other.handle_ = nullptr;
}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        if (handle_)
            ::CloseHandle(H(handle_));
        handle_ = other.handle_;
        other.handle_ = nullptr;
    }
    return *this;
}

std::size_t File::Read(void* data, std::size_t size)
{
    DWORD got = 0;
    if (!::ReadFile(H(handle_), data, static_cast<DWORD>(size), &got, nullptr)) {
        DWORD err = ::GetLastError();
        if (err == ERROR_HANDLE_EOF || err == ERROR_BROKEN_PIPE)
            return 0;
        Fail(err);
    }
    return got;
}

void File::Write(const void* data, std::size_t size)
{
    auto p = static_cast<const char*>(data);
    while (size > 0) {
        DWORD put = 0;
        if (!::WriteFile(H(handle_), p, static_cast<DWORD>(size), &put, nullptr))
            FailLast();
        if (put == 0) // nothing taken and no error: the disk is full
            Fail(ERROR_DISK_FULL);
        p += put;
        size -= put;
    }
}

std::uint64_t File::Size()
{
    LARGE_INTEGER size {};
    if (!::GetFileSizeEx(H(handle_), &size))
        FailLast();
    return static_cast<std::uint64_t>(size.QuadPart);
}

void File::Seek(std::uint64_t offset)
{
    LARGE_INTEGER to {};
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(H(handle_), to, nullptr, FILE_BEGIN))
        FailLast();
}

void File::Truncate(std::uint64_t size)
{
    // SetEndOfFile cuts at the current position; the position the caller
    // had is restored afterwards, as a truncate elsewhere leaves it alone.
    LARGE_INTEGER zero {}, here {}, to {};
    if (!::SetFilePointerEx(H(handle_), zero, &here, FILE_CURRENT))
        FailLast();
    to.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFilePointerEx(H(handle_), to, nullptr, FILE_BEGIN) || !::SetEndOfFile(H(handle_)))
        FailLast();
    if (!::SetFilePointerEx(H(handle_), here, nullptr, FILE_BEGIN))
        FailLast();
}

void File::Close()
{
    if (!handle_)
        return;
    HANDLE h = H(handle_);
    handle_ = nullptr;
    if (!::CloseHandle(h))
        FailLast();
}

bool File::Exists(const std::string& path)
{
    DWORD attr = ::GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

void File::Erase(const std::string& path)
{
    if (!::DeleteFileA(path.c_str()))
        FailLast();
}

void File::Rename(const std::string& from, const std::string& to)
{
    if (!::MoveFileExA(
            from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        FailLast();
}

} // namespace tarvenia
