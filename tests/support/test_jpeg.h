// Makes small JPEG files for the tests with libjpeg's compressor.
#pragma once

#include <cstdio>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace tarvenia::testing {

// Encodes a width × height picture with libjpeg's compressor, quality and
// progression as asked: components 1 (grey), 3 (RGB) or 4 (CMYK, as libjpeg
// writes it). pixel(x, y, samples) fills the components of one pixel; it is
// called row by row, left to right.
template <class Pixel>
std::vector<unsigned char> EncodeJpeg(
    int width, int height, int components, int quality, bool progressive, Pixel pixel)
{
    jpeg_compress_struct cinfo {};
    jpeg_error_mgr jerr {};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * components);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < width; ++x)
            pixel(x, y, &row[static_cast<std::size_t>(x) * components]);
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> bytes(out, out + size);
    std::free(out);
    return bytes;
}

// A width × height colour picture: a red-to-blue gradient with a green bar.
inline std::vector<unsigned char> MakeJpeg(int width, int height)
{
    return EncodeJpeg(width, height, 3, 90, false, [&](int x, int y, unsigned char* rgb) {
        rgb[0] = static_cast<unsigned char>(255 * x / (width > 1 ? width - 1 : 1));
        rgb[1] = (y > height / 3 && y < height / 2) ? 220 : 30;
        rgb[2] = static_cast<unsigned char>(255 - rgb[0]);
    });
}

} // namespace tarvenia::testing
