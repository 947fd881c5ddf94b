#include "jpeg_encoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <stdexcept>

namespace demo {

namespace {

    struct ErrorManager {
        jpeg_error_mgr pub;
        std::jmp_buf jump;
        char message[JMSG_LENGTH_MAX];
    };

    void ErrorExit(j_common_ptr cinfo)
    {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        (*cinfo->err->format_message)(cinfo, err->message);
        std::longjmp(err->jump, 1);
    }

    // Runs the compressor; everything that can longjmp stays inside this
    // function, which owns no C++ objects with destructors.
    bool Compress(
        const RgbImage& image, int quality, unsigned char** out, unsigned long* size, char* message)
    {
        jpeg_compress_struct cinfo;
        ErrorManager err;
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = ErrorExit;
        if (setjmp(err.jump)) {
            jpeg_destroy_compress(&cinfo);
            std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
            return false;
        }
        jpeg_create_compress(&cinfo);
        jpeg_mem_dest(&cinfo, out, size);
        cinfo.image_width = static_cast<JDIMENSION>(image.width);
        cinfo.image_height = static_cast<JDIMENSION>(image.height);
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, quality, TRUE);
        cinfo.optimize_coding = TRUE;
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            JSAMPROW row = const_cast<JSAMPROW>(image.pixels.data()
                + static_cast<std::size_t>(cinfo.next_scanline) * image.width * 3);
            jpeg_write_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        return true;
    }

    // An APP15 segment: marker, length (itself included), filler bytes.
    void AppendPadding(std::string& out, std::size_t amount)
    {
        while (amount >= 4) {
            std::size_t payload = std::min<std::size_t>(amount - 4, 65533 - 2);
            std::size_t length = payload + 2;
            out += '\xFF';
            out += '\xEF';
            out += static_cast<char>(length >> 8);
            out += static_cast<char>(length & 0xFF);
            for (std::size_t i = 0; i < payload; ++i)
                out += static_cast<char>('A' + i % 26);
            amount -= payload + 4;
        }
    }

} // namespace

std::string EncodeJpeg(const RgbImage& image, int quality, std::size_t pad_to)
{
    if (image.width <= 0 || image.height <= 0
        || image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 3)
        throw std::runtime_error("bad picture size");
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {};
    bool ok = Compress(image, quality, &buffer, &size, message);
    std::string jpeg;
    if (ok)
        jpeg.assign(reinterpret_cast<char*>(buffer), size);
    std::free(buffer);
    if (!ok)
        throw std::runtime_error(std::string("JPEG compression failed: ") + message);
    if (pad_to > jpeg.size() + 4) {
        std::string padded = jpeg.substr(0, 2); // SOI
        padded.reserve(pad_to);
        AppendPadding(padded, pad_to - jpeg.size());
        padded.append(jpeg, 2);
        jpeg = std::move(padded);
    }
    return jpeg;
}

} // namespace demo
