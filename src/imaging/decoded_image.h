#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvenia {

// An uncompressed image as the program keeps it: rows bottom-up (the last row
// of the picture first), each padded with zero bytes to a multiple of 4.
// 24 bits: blue, green, red per pixel. 8 bits: one index into `palette` per
// pixel.
struct DecodedImage {
    int width = 0;
    int height = 0;
    int bits = 24; // 24 or 8
    std::size_t stride = 0;
    std::vector<std::uint8_t> pixels; // stride * height bytes
    // 8 bits only: 256 entries of blue, green, red, 0. Entries from
    // `colors` on are used by no pixel.
    std::array<std::uint8_t, 1024> palette {};
    int colors = 0;

    static std::size_t StrideFor(int width, int bits)
    {
        std::size_t row = static_cast<std::size_t>(width) * (bits / 8);
        return (row + 3) & ~static_cast<std::size_t>(3);
    }
    // The stored row that holds picture row y (0 = top).
    std::uint8_t* Row(int y)
    {
        return pixels.data() + static_cast<std::size_t>(height - 1 - y) * stride;
    }
    const std::uint8_t* Row(int y) const
    {
        return pixels.data() + static_cast<std::size_t>(height - 1 - y) * stride;
    }
};

} // namespace tarvenia
