// Helpers shared by the fuzz targets: slicing one input into the values a
// target needs, a private scratch file, and the check that stops the run
// with a message when an invariant breaks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// A file of this process's own under the temporary folder, removed when the
// process ends.
class ScratchFile {
public:
    explicit ScratchFile(const char* name)
    {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir && *dir ? dir : "/tmp") + "/tarvenia-fuzz-"
            + std::to_string(::getpid()) + "-" + name;
    }
    ~ScratchFile()
    {
        std::remove(path_.c_str());
        std::remove((path_ + ".new").c_str());
    }
    const std::string& Path() const { return path_; }

private:
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
