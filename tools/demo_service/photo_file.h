#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace demo {

// An RGB picture, rows top-down, three bytes per pixel.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// The picture as a baseline JPEG file. When `pad_to` is larger than the
// result, application segments that every decoder skips are added after the
// start marker until the file has exactly that size (give or take the few
// bytes a segment header needs), so a large download is still a valid
// photo. Throws std::runtime_error on failure.
std::string PhotoFile(const RgbImage& image, int quality, std::size_t pad_to = 0);

} // namespace demo
