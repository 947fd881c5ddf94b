// Helpers shared by the fuzz targets: slicing one input into the values a
// target needs, a private scratch file, and the check that stops the run
// with a message when an invariant breaks.
#pragma once

#ifdef TARVENIA_MEMORY_FILES
#include "base/memory_files.h"
#endif

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <string>
#include <unistd.h>

namespace tarvenia::fuzz {

// Reads the input front to back; past its end every value is empty or 0.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size)
    {
    }
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    // A string of up to `max` bytes, its length taken from the next byte.
    std::string Short(std::size_t max)
    {
        std::size_t n = Byte() % (max + 1);
        return Take(n);
    }
    std::string Take(std::size_t n)
    {
        n = n < size_ - pos_ ? n : size_ - pos_;
        std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }
    std::string Rest() { return Take(size_ - pos_); }
    bool Empty() const { return pos_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A file of this process's own, removed when the process ends. Under
// libFuzzer the program's files are kept in memory (TARVENIA_MEMORY_FILES):
// the targets rewrite, rename and delete them for every input, and the
// system calls of real files, even on tmpfs, would take most of the time.
// The replays of the other builds use real files, in memory (/dev/shm) where
// the system has it, else in the temporary folder.
class ScratchFile {
public:
    explicit ScratchFile(const char* name)
    {
        path_ = Folder() + "/tarvenia-fuzz-" + std::to_string(::getpid()) + "-" + name;
    }
    ~ScratchFile()
    {
        Remove(path_);
        Remove(path_ + ".new");
    }
    const std::string& Path() const { return path_; }

    // The file set to `bytes` (created when missing), read back whole
    // (nothing when missing) and removed, apart from the program's own file
    // code: with plain system calls, or straight from the files in memory.
    void Write(const std::string& bytes) const
    {
#ifdef TARVENIA_MEMORY_FILES
        memory_files::Put(path_, bytes);
#else
        const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        bool written = fd >= 0;
        for (std::size_t done = 0; written && done < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            written = n > 0;
            done += written ? static_cast<std::size_t>(n) : 0;
        }
        if (fd < 0 || ::close(fd) != 0 || !written) {
            std::perror(path_.c_str());
            std::abort();
        }
#endif
    }
    std::optional<std::string> Read() const
    {
#ifdef TARVENIA_MEMORY_FILES
        return memory_files::Get(path_);
#else
        const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return std::nullopt;
        std::string bytes;
        char block[4096];
        ssize_t n;
        while ((n = ::read(fd, block, sizeof block)) > 0)
            bytes.append(block, static_cast<std::size_t>(n));
        ::close(fd);
        return bytes;
#endif
    }
    static void Remove(const std::string& path)
    {
#ifdef TARVENIA_MEMORY_FILES
        memory_files::Remove(path);
#else
        std::remove(path.c_str());
#endif
    }

private:
    static std::string Folder()
    {
        if (::access("/dev/shm", W_OK | X_OK) == 0)
            return "/dev/shm";
        const char* dir = std::getenv("TMPDIR");
        return dir && *dir ? dir : "/tmp";
    }

    std::string path_;
};

// An invariant that must hold for every input; a break is a finding.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);          \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

} // namespace tarvenia::fuzz
