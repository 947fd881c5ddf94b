#include "lists/catalog_reader.h"

#include "base/file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tarvenia {

namespace {

    constexpr std::size_t kBlockSize = 64 * 1024;
    // A file that grows after its size was taken is still read in blocks of
    // a useful size.
    constexpr std::size_t kMinBlockSize = 256;
    constexpr char kCr = 0x0D;
    constexpr char kEndOfData = 0x1A;
    constexpr unsigned char kBlank = 0x20;

} // namespace

CatalogReader::CatalogReader(File& file)
    : file_(file)
    , file_size_(file.Size())
{
    capacity_ = static_cast<std::size_t>(
        std::clamp<std::uint64_t>(file_size_, kMinBlockSize, kBlockSize));
    buffer_.reset(new char[capacity_]);
}

CatalogReader::~CatalogReader() = default;

bool CatalogReader::Fill()
{
    if (eof_)
        return false;
    pos_ = 0;
    end_ = file_.Read(buffer_.get(), capacity_);
    if (end_ == 0) {
        eof_ = true;
        return false;
    }
    // Nothing after a 0x1A is ever read: the data of this block ends there
    // and no further block is read.
    if (const void* mark = std::memchr(buffer_.get(), kEndOfData, end_)) {
        end_ = static_cast<std::size_t>(static_cast<const char*>(mark) - buffer_.get());
        eof_ = true;
    }
    return end_ > 0;
}

bool CatalogReader::NextLine(std::string_view& line, std::size_t keep)
{
    line = {};
    if (done_)
        return false;

    // Blanks before the line, including the LF of a CR LF and empty lines.
    for (;;) {
        if (pos_ == end_ && !Fill()) {
            done_ = true;
            return false;
        }
        if (static_cast<unsigned char>(buffer_[pos_]) > kBlank)
            break;
        ++pos_;
    }

    // The line runs to the next CR, to the 0x1A or to the end of the file.
    const char* begin = buffer_.get() + pos_;
    std::size_t count = end_ - pos_;
    if (const void* cr = std::memchr(begin, kCr, count)) {
        count = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
        line = std::string_view(begin, std::min(count, keep));
        pos_ += count + 1; // an LF after the CR is a blank of the next line
        return true;
    }

    // It runs past this block: it is gathered, up to `keep` bytes, over as
    // many blocks as it spans.
    spill_.assign(begin, std::min(count, keep));
    for (;;) {
        pos_ = end_;
        if (!Fill()) {
            done_ = true;
            break;
        }
        begin = buffer_.get();
        count = end_;
        const void* cr = std::memchr(begin, kCr, count);
        if (cr)
            count = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
        if (spill_.size() < keep)
            spill_.append(begin, std::min(count, keep - spill_.size()));
        if (cr) {
            pos_ = count + 1;
            break;
        }
    }
    line = spill_;
    return true;
}

bool CatalogReader::NextLine(std::string& line, std::size_t keep)
{
    std::string_view view;
    const bool found = NextLine(view, keep);
    line.assign(view);
    return found;
}

} // namespace tarvenia
