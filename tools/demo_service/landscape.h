#pragma once

#include "photo_file.h"

#include <cstdint>

namespace demo {

enum class TimeOfDay { Dawn, Noon, Dusk, Night };
enum class Ground { Lake, Meadow, Snow, Sea };

// What a day's photo shows; the seed varies the shapes within the kind.
struct Scene {
    TimeOfDay time = TimeOfDay::Noon;
    Ground ground = Ground::Lake;
    int mountain_layers = 3; // 0 to 4
    bool clouds = true;
    std::uint32_t seed = 1;
};

// Paints a landscape: a graded sky with its sun (or moon), soft clouds,
// mountain ridges fading into the distance and water that mirrors the sky,
// or a meadow, snow field or open sea in front.
RgbImage PaintLandscape(const Scene& scene, int width, int height);

} // namespace demo
