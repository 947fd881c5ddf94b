#include "base/error.h"
#include "base/file.h"
#include "imaging/bmp.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tarvenia {

namespace {

    constexpr std::size_t kFileHeaderSize = 14;
    constexpr std::size_t kInfoHeaderSize = 40;
    constexpr std::size_t kColourTableSize = 256 * 4;

    void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
    {
        out[at] = static_cast<std::uint8_t>(value);
        out[at + 1] = static_cast<std::uint8_t>(value >> 8);
    }

    void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
    {
        Put16(out, at, value & 0xFFFF);
        Put16(out, at + 2, value >> 16);
    }

} // namespace

void WriteBmp(const DecodedImage& image, const std::string& path)
{
    const bool indexed = image.bits == 8;
    const std::size_t offset = kFileHeaderSize + kInfoHeaderSize + (indexed ? kColourTableSize : 0);
    const std::size_t data_size = image.stride * static_cast<std::size_t>(image.height);

    // Headers and colour table in one block, the pixel data in one write.
    std::vector<std::uint8_t> head(offset, 0);
    head[0] = 'B';
    head[1] = 'M';
    Put32(head, 2, static_cast<std::uint32_t>(offset + data_size)); // bfSize
    Put32(head, 10, static_cast<std::uint32_t>(offset)); // bfOffBits
    Put32(head, 14, kInfoHeaderSize); // biSize
    Put32(head, 18, static_cast<std::uint32_t>(image.width));
    Put32(head, 22, static_cast<std::uint32_t>(image.height)); // positive: bottom-up
    Put16(head, 26, 1); // biPlanes
    Put16(head, 28, static_cast<std::uint32_t>(image.bits));
    Put32(head, 34, static_cast<std::uint32_t>(data_size)); // biSizeImage
    Put32(head, 46, indexed ? 256 : 0); // biClrUsed
    if (indexed)
        std::copy(image.palette.begin(), image.palette.end(),
            head.begin() + static_cast<std::ptrdiff_t>(kFileHeaderSize + kInfoHeaderSize));

    File file = [&] {
        try {
            return File(path, File::Mode::CreateExclusive);
        } catch (const IoError&) {
            throw Error("Cannot create file " + path);
        }
    }();
    try {
        file.Write(head.data(), head.size());
        if (data_size > 0)
            file.Write(image.pixels.data(), data_size);
        file.Close();
    } catch (const IoError&) {
        throw Error("Stream write error");
    }
}

} // namespace tarvenia
