// The few POSIX calls the shared test helpers use, for the Windows build of
// the tests (force-included there; the program itself never uses them).
#pragma once

// winsock2.h must come before windows.h, and the test servers use it.
#include <winsock2.h>

#include <direct.h>
#include <process.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>

// The tests ask for the superuser to skip the checks of read-only files,
// which the superuser may write all the same. Windows has none, but Wine run
// by root lets read-only files be written: 0 is answered when a read-only
// file of our own can be opened for writing.
inline int geteuid()
{
    char dir[MAX_PATH], path[MAX_PATH];
    if (!::GetTempPathA(MAX_PATH, dir) || !::GetTempFileNameA(dir, "ro", 0, path))
        return 1000;
    ::SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY);
    HANDLE h = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool writable = h != INVALID_HANDLE_VALUE;
    if (writable)
        ::CloseHandle(h);
    ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(path);
    return writable ? 0 : 1000;
}

// Replaces the trailing XXXXXX of `pattern` and creates that folder.
inline char* mkdtemp(char* pattern)
{
    const std::size_t len = std::strlen(pattern);
    if (len < 6 || std::strcmp(pattern + len - 6, "XXXXXX") != 0)
        return nullptr;
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned seed
        = static_cast<unsigned>(::GetTickCount()) ^ (static_cast<unsigned>(::_getpid()) << 16);
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = len - 6; i < len; ++i) {
            seed = seed * 1103515245u + 12345u;
            pattern[i] = digits[(seed >> 16) % (sizeof digits - 1)];
        }
        if (::CreateDirectoryA(pattern, nullptr))
            return pattern;
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            return nullptr;
    }
    return nullptr;
}

// The C runtime of mingw has no quick_exit; ending the process at once is
// what the tests ask of it.
#if !defined(_GLIBCXX_HAVE_QUICK_EXIT)
namespace std {
[[noreturn]] inline void quick_exit(int code) noexcept { ::ExitProcess(static_cast<UINT>(code)); }
}
#endif
