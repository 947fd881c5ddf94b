#include "lists/catalog_reader.h"

#include "base/file.h"

#include <algorithm>

namespace tarvenia {

namespace {

    constexpr std::size_t kBlockSize = 64 * 1024;
    constexpr unsigned char kCr = 0x0D;
    constexpr unsigned char kEndOfData = 0x1A;
    constexpr unsigned char kBlank = 0x20;

    bool EndsLine(char c)
    {
        auto byte = static_cast<unsigned char>(c);
        return byte == kCr || byte == kEndOfData;
    }

} // namespace

CatalogReader::CatalogReader(File& file)
    : file_(file)
    , buffer_(kBlockSize)
{
}

bool CatalogReader::Fill()
{
    if (eof_)
        return false;
    pos_ = 0;
    end_ = file_.Read(buffer_.data(), buffer_.size());
    eof_ = end_ == 0;
    return !eof_;
}

bool CatalogReader::NextLine(std::string& line, std::size_t keep)
{
    line.clear();
    if (done_)
        return false;

    // Blanks before the line, including the LF of a CR LF and empty lines.
    for (;;) {
        if (pos_ == end_ && !Fill()) {
            done_ = true;
            return false;
        }
        auto byte = static_cast<unsigned char>(buffer_[pos_]);
        if (byte == kEndOfData) {
            done_ = true;
            return false;
        }
        if (byte > kBlank)
            break;
        ++pos_;
    }

    // The line runs to the next CR or 0x1A or to the end of the file; it may
    // span any number of blocks.
    for (;;) {
        if (pos_ == end_ && !Fill()) {
            done_ = true;
            return true;
        }
        const char* begin = buffer_.data() + pos_;
        const char* stop = buffer_.data() + end_;
        const char* found = std::find_if(begin, stop, EndsLine);
        auto count = static_cast<std::size_t>(found - begin);
        if (line.size() < keep)
            line.append(begin, std::min(count, keep - line.size()));
        pos_ += count;
        if (found != stop) {
            if (static_cast<unsigned char>(*found) == kEndOfData)
                done_ = true; // nothing after it is ever read
            else
                ++pos_; // the CR; an LF after it is a blank of the next line
            return true;
        }
    }
}

} // namespace tarvenia
