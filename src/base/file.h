// A file opened by the program, closed by its destructor on every path.
// Paths and data are bytes; nothing is converted. Failures throw IoError with
// the platform's error mapped to the program's numbering (see error.h).
// The two platform variants are file_posix.cpp and file_windows.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvenia {

class File {
public:
    enum class Mode {
        Read, // existing file; others may read but not write it meanwhile
        Create, // created, or emptied when it exists; written (POSIX: never through a link)
        CreateExclusive, // as Create, shared with no one while open
        Append, // existing file, written at its end
        ReadWriteShared, // existing file, read and write, shared with others
    };

    File(const std::string& path, Mode mode);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    // Reads up to `size` bytes; returns how many were read, 0 at the end.
    std::size_t Read(void* data, std::size_t size);
    // Writes all bytes or throws IoError.
    void Write(const void* data, std::size_t size);
    void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
    std::uint64_t Size();
    void Seek(std::uint64_t offset);
    // Cuts the file at `size` bytes.
    void Truncate(std::uint64_t size);
    // Closes now; throws IoError when the close itself reports a failure
    // (buffered data that could not be stored).
    void Close();

    static std::vector<unsigned char> ReadAll(const std::string& path);
    static bool Exists(const std::string& path);
    // Deletes the file; throws IoError on failure.
    static void Erase(const std::string& path);
    // Puts the file `from` in the place of `to` in one step, replacing it:
    // readers see either the old file or the new one, never a part.
    static void Rename(const std::string& from, const std::string& to);

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

} // namespace tarvenia
