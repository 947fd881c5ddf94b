#include "photo_file.h"

#include "jpeg_encoder/jpeg_encoder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace demo {

namespace {

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

std::string PhotoFile(const RgbImage& image, int quality, std::size_t pad_to)
{
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    if (image.width <= 0 || image.height <= 0 || image.pixels.size() != stride * image.height)
        throw std::runtime_error("bad picture size");
    tarvenia::JpegFormat format;
    format.width = image.width;
    format.height = image.height;
    format.quality = quality;
    format.optimize_coding = true;
    const auto bytes = tarvenia::EncodeJpeg(format, [&](int y, unsigned char* row) {
        std::memcpy(row, image.pixels.data() + stride * static_cast<std::size_t>(y), stride);
    });
    std::string jpeg(bytes.begin(), bytes.end());
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
