// A JPEG picture: the whole file in memory, its size from the header, and a
// decoded image made on the first request and kept from then on (also a
// partial one after a failed decode).
#pragma once

#include "imaging/decoded_image.h"

#include <memory>
#include <string>
#include <vector>

namespace tarvenia {

class JpegPicture {
public:
    // Reads the file. Throws Error "Cannot open file %s" when it cannot be
    // opened, "JPEG error #%d" when a non-empty file has no valid header or
    // announces a picture too large to decode (over 256 MiB as a 24-bit
    // image, 8-bit for greyscale; libjpeg's JERR_IMAGE_TOO_BIG). An empty
    // file loads with width and height 0 (its first decode fails).
    // `display_depth` is the screen's bits per pixel: at most 8 makes every
    // decode an 8-bit one.
    static JpegPicture Load(const std::string& path, int display_depth);
    static JpegPicture FromBytes(std::vector<unsigned char> data, int display_depth);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // The decoded image, decoding on the first call only: 24 bits (BGR), or
    // 8 bits with a colour table for greyscale photos and on displays of at
    // most 8 bits. Four-component (CMYK/YCCK) photos are converted to RGB.
    // A decode holds at most 512 MiB, image included: a file whose
    // whole-picture buffers would not fit fails with JERR_NO_BACKING_STORE
    // before they are allocated; a file with more scans than any encoder
    // writes (over 24) ends with JERR_BAD_PROGRESSION when the next scan
    // begins.
    // The first call throws Error "JPEG error #%d" on a fatal decoder error;
    // every later call returns the kept image (as far as it got) without
    // error.
    const DecodedImage& Decode();
    bool IsDecoded() const { return decoded_ != nullptr; }

private:
    JpegPicture() = default;

    std::vector<unsigned char> data_;
    int width_ = 0;
    int height_ = 0;
    int display_depth_ = 24;
    std::unique_ptr<DecodedImage> decoded_;
};

} // namespace tarvenia
