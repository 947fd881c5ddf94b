#include "support/temp_folder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace tarvenia::testing {

TempFolder::TempFolder()
{
    namespace fs = std::filesystem;
    // A clock stamp and a serial keep parallel test processes and several
    // folders of one test apart.
    static std::atomic<unsigned> serial { 0 };
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        fs::path p = fs::temp_directory_path()
            / ("tarvenia-" + std::to_string(stamp) + "-" + std::to_string(serial++));
        std::error_code ec;
        if (fs::create_directory(p, ec)) {
            path_ = p;
            return;
        }
    }
    throw std::runtime_error("no temporary folder could be made");
}

TempFolder::~TempFolder()
{
    namespace fs = std::filesystem;
    // Tests make files and folders read-only; open them up so that all goes.
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (const auto& entry : fs::recursive_directory_iterator(path_, ec))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempFolder::Write(const std::string& name, const std::string& bytes) const
{
    std::string path = Path(name);
    WriteFileBytes(path, bytes);
    return path;
}

std::string TempFolder::Read(const std::string& path) { return ReadFileBytes(path); }

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

bool ReadOnlyFilesAreWritable()
{
#ifdef _WIN32
    // Windows has no superuser, but Wine run by root lets read-only files be
    // written: ask a read-only file of our own.
    char dir[MAX_PATH], path[MAX_PATH];
    if (!::GetTempPathA(MAX_PATH, dir) || !::GetTempFileNameA(dir, "ro", 0, path))
        return false;
    ::SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY);
    HANDLE h = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool writable = h != INVALID_HANDLE_VALUE;
    if (writable)
        ::CloseHandle(h);
    ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(path);
    return writable;
#else
    return ::geteuid() == 0;
#endif
}

} // namespace tarvenia::testing
