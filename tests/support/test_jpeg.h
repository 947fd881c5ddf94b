// Makes small JPEG files for the tests with libjpeg's compressor.
#pragma once

#include <cstdio>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace tarvenia::testing {

// A width × height colour picture: a red-to-blue gradient with a green bar.
inline std::vector<unsigned char> MakeJpeg(int width, int height)
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
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<unsigned char>(255 * x / (width > 1 ? width - 1 : 1));
            row[x * 3 + 1] = (y > height / 3 && y < height / 2) ? 220 : 30;
            row[x * 3 + 2] = static_cast<unsigned char>(255 - row[x * 3]);
        }
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> bytes(out, out + size);
    std::free(out);
    return bytes;
}

} // namespace tarvenia::testing
