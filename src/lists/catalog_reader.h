#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace tarvenia {

class File;

// Reads the lines of a catalog file by the program's reading rules: blanks
// (bytes <= 0x20 except 0x1A) before a line are skipped, CR or CR LF ends a
// line, LF is an ordinary byte, 0x1A ends the data, lines have no length limit.
class CatalogReader {
public:
    explicit CatalogReader(File& file);
    // Next line into `line`; false when the file holds no further line.
    bool NextLine(std::string& line)
    {
        return NextLine(line, std::numeric_limits<std::size_t>::max());
    }
    // As above, but keeps only the first `keep` bytes of the line; the rest
    // is read and passed over. Readers that use a fixed-width prefix need not
    // hold a line of any length in memory.
    bool NextLine(std::string& line, std::size_t keep);

private:
    bool Fill();

    File& file_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false; // the file has delivered its last byte
    bool done_ = false; // no further line: end of file or 0x1A seen
};

} // namespace tarvenia
