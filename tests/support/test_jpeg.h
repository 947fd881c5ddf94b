// Small JPEG files for the tests, made with the shared encoder.
#pragma once

#include "jpeg_encoder/jpeg_encoder.h"

#include <cstddef>
#include <vector>

namespace tarvenia::testing {

// Encodes a picture given pixel by pixel: pixel(x, y, samples) fills the
// components of one pixel; it is called row by row, left to right.
template <class Pixel>
std::vector<unsigned char> EncodePixels(const JpegFormat& format, Pixel pixel)
{
    return EncodeJpeg(format, [&](int y, unsigned char* row) {
        for (int x = 0; x < format.width; ++x)
            pixel(x, y, row + static_cast<std::size_t>(x) * format.components);
    });
}

// A width × height colour picture: a red-to-blue gradient with a green bar.
inline std::vector<unsigned char> MakeJpeg(int width, int height)
{
    return EncodePixels(
        { .width = width, .height = height }, [&](int x, int y, unsigned char* rgb) {
            rgb[0] = static_cast<unsigned char>(255 * x / (width > 1 ? width - 1 : 1));
            rgb[1] = (y > height / 3 && y < height / 2) ? 220 : 30;
            rgb[2] = static_cast<unsigned char>(255 - rgb[0]);
        });
}

} // namespace tarvenia::testing
