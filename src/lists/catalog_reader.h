#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

namespace tarvenia {

class File;

// Reads the lines of a catalog file by the program's reading rules: blanks
// (bytes <= 0x20 except 0x1A) before a line are skipped, CR or CR LF ends a
// line, LF is an ordinary byte, 0x1A ends the data, lines have no length limit.
class CatalogReader {
public:
    static constexpr std::size_t kWholeLine = std::numeric_limits<std::size_t>::max();

    explicit CatalogReader(File& file);
    ~CatalogReader();
    // The file's size when the reader began.
    std::uint64_t FileSize() const { return file_size_; }
    CatalogReader(const CatalogReader&) = delete;
    CatalogReader& operator=(const CatalogReader&) = delete;

    // Next line as a view that stays valid until the next call; false (and
    // an empty view) when the file holds no further line. Only the first
    // `keep` bytes of the line are kept; the rest is read and passed over,
    // so readers that use a fixed-width prefix need not hold a line of any
    // length in memory.
    bool NextLine(std::string_view& line, std::size_t keep = kWholeLine);
    // As above, the line copied into `line`.
    bool NextLine(std::string& line, std::size_t keep = kWholeLine);

private:
    bool Fill();

    File& file_;
    std::uint64_t file_size_ = 0;
    // Sized to the file, up to one block, and never zero-filled: every byte
    // used was read into it first.
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t pos_ = 0;
    std::size_t end_ = 0; // end of the data read, or the 0x1A in it
    std::string spill_; // a line that runs over the end of a block
    bool eof_ = false; // nothing further is read: end of file or 0x1A seen
    bool done_ = false; // no further line
};

} // namespace tarvenia
