// JPEG files made with libjpeg's compressor, rows supplied one at a time so
// that a large picture never needs a buffer of its own.
#pragma once

#include <functional>
#include <vector>

namespace tarvenia {

struct JpegFormat {
    int width = 0;
    int height = 0;
    int components = 3; // 1 grey, 3 RGB, 4 CMYK (stored as libjpeg writes it)
    int quality = 90;
    bool progressive = false;
    bool optimize_coding = false; // Huffman tables fitted to the picture
};

// Fills the samples of row `y` (width × components bytes); called once per
// row, top-down.
using JpegRows = std::function<void(int y, unsigned char* row)>;

// The compressed file. Throws std::runtime_error "JPEG compression failed:
// <libjpeg's message>" when the library refuses the format or runs out of
// memory.
std::vector<unsigned char> EncodeJpeg(const JpegFormat& format, const JpegRows& rows);

} // namespace tarvenia
