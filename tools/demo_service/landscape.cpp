#include "landscape.h"

#include <algorithm>
#include <cmath>

namespace demo {

namespace {

    struct Color {
        float r, g, b;
    };

    Color Mix(Color a, Color b, float t)
    {
        t = std::clamp(t, 0.0f, 1.0f);
        return { a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t };
    }
    Color Scale(Color c, float k) { return { c.r * k, c.g * k, c.b * k }; }
    Color Add(Color a, Color b) { return { a.r + b.r, a.g + b.g, a.b + b.b }; }

    float SmoothStep(float e0, float e1, float x)
    {
        float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
        return t * t * (3 - 2 * t);
    }

    // Value noise with smooth interpolation, repeatable for a seed.
    class Noise {
    public:
        explicit Noise(std::uint32_t seed)
            : seed_(seed)
        {
        }
        float At(float x, float y) const
        {
            int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
            float fx = x - xi, fy = y - yi;
            float u = fx * fx * (3 - 2 * fx), v = fy * fy * (3 - 2 * fy);
            float a = Hash(xi, yi), b = Hash(xi + 1, yi), c = Hash(xi, yi + 1),
                  d = Hash(xi + 1, yi + 1);
            return a + (b - a) * u + (c - a) * v + (a - b - c + d) * u * v;
        }
        // Several octaves, in [0, 1).
        float Fbm(float x, float y, int octaves) const
        {
            float sum = 0, amp = 0.5f, norm = 0;
            for (int i = 0; i < octaves; ++i) {
                sum += amp * At(x, y);
                norm += amp;
                x *= 2.03f;
                y *= 2.03f;
                amp *= 0.5f;
            }
            return sum / norm;
        }

    private:
        float Hash(int x, int y) const
        {
            std::uint32_t h = seed_ * 0x9E3779B1u ^ static_cast<std::uint32_t>(x) * 0x85EBCA77u
                ^ static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
            h ^= h >> 15;
            h *= 0x2C1B3C6Du;
            h ^= h >> 12;
            h *= 0x297A2D39u;
            h ^= h >> 15;
            return (h & 0xFFFFFF) / 16777216.0f;
        }
        std::uint32_t seed_;
    };

    struct Palette {
        Color zenith, horizon, sun, sun_glow, mountain_near, mountain_far, cloud;
        float light; // overall brightness of the ground
    };

    Palette PaletteFor(TimeOfDay time)
    {
        switch (time) {
        case TimeOfDay::Dawn:
            return { { 0.32f, 0.40f, 0.70f }, { 1.00f, 0.72f, 0.55f }, { 1.0f, 0.95f, 0.80f },
                { 1.0f, 0.60f, 0.35f }, { 0.22f, 0.20f, 0.30f }, { 0.62f, 0.55f, 0.68f },
                { 1.0f, 0.80f, 0.78f }, 0.8f };
        case TimeOfDay::Noon:
            return { { 0.20f, 0.42f, 0.85f }, { 0.72f, 0.86f, 0.98f }, { 1.0f, 1.0f, 0.94f },
                { 1.0f, 0.97f, 0.80f }, { 0.20f, 0.32f, 0.22f }, { 0.55f, 0.66f, 0.80f },
                { 1.0f, 1.0f, 1.0f }, 1.0f };
        case TimeOfDay::Dusk:
            return { { 0.25f, 0.15f, 0.40f }, { 1.00f, 0.50f, 0.25f }, { 1.0f, 0.85f, 0.55f },
                { 1.0f, 0.45f, 0.20f }, { 0.15f, 0.10f, 0.18f }, { 0.50f, 0.30f, 0.42f },
                { 0.95f, 0.60f, 0.55f }, 0.6f };
        case TimeOfDay::Night:
            break;
        }
        return { { 0.02f, 0.03f, 0.10f }, { 0.10f, 0.15f, 0.30f }, { 0.95f, 0.95f, 0.90f },
            { 0.50f, 0.55f, 0.70f }, { 0.03f, 0.04f, 0.08f }, { 0.12f, 0.15f, 0.25f },
            { 0.30f, 0.32f, 0.42f }, 0.3f };
    }

    std::uint8_t ToByte(float v)
    {
        return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
    }

} // namespace

RgbImage PaintLandscape(const Scene& scene, int width, int height)
{
    RgbImage img;
    img.width = width;
    img.height = height;
    img.pixels.resize(static_cast<std::size_t>(width) * height * 3);

    const Palette pal = PaletteFor(scene.time);
    const Noise noise(scene.seed);
    const float aspect = static_cast<float>(width) / height;
    const float horizon = 0.58f + 0.08f * (noise.At(1.5f, 7.5f) - 0.5f); // of the height
    const float sun_x = 0.2f + 0.6f * noise.At(3.3f, 1.1f);
    const float sun_y = scene.time == TimeOfDay::Noon
        ? 0.18f + 0.15f * noise.At(9.1f, 2.2f)
        : horizon - 0.10f - 0.12f * noise.At(5.5f, 4.4f);
    const float sun_r = scene.time == TimeOfDay::Night ? 0.035f : 0.05f;

    // Ridge heights per column, nearest layer last; a layer covers a pixel
    // whose height from the horizon is below its ridge.
    const int layers = std::clamp(scene.mountain_layers, 0, 4);
    std::vector<float> ridges(static_cast<std::size_t>(layers) * width);
    for (int l = 0; l < layers; ++l) {
        float base = 0.05f + 0.07f * (layers - 1 - l);
        float amp = 0.22f - 0.04f * l;
        for (int x = 0; x < width; ++x) {
            float u = static_cast<float>(x) / width * aspect;
            float n = noise.Fbm(u * (2.0f + l) + 10.0f * l, 3.0f * l, 5);
            float peak = std::pow(n, 1.6f);
            ridges[static_cast<std::size_t>(l) * width + x] = base + amp * peak * 1.8f;
        }
    }

    auto sky = [&](float u, float v) {
        float t = std::pow(std::clamp(v / horizon, 0.0f, 1.0f), 1.4f);
        Color c = Mix(pal.zenith, pal.horizon, t);
        float dx = (u - sun_x) * aspect, dy = v - sun_y;
        float d = std::sqrt(dx * dx + dy * dy);
        c = Add(c, Scale(pal.sun_glow, 0.55f * std::exp(-d * 6.0f)));
        if (d < sun_r)
            c = Mix(c, pal.sun, SmoothStep(sun_r, sun_r * 0.85f, d));
        if (scene.time == TimeOfDay::Night) {
            float star = noise.At(u * 900.0f, v * 700.0f);
            if (star > 0.985f)
                c = Add(c, Scale({ 1, 1, 1 }, (star - 0.985f) * 50.0f));
        }
        if (scene.clouds) {
            float n = noise.Fbm(u * 6.0f * aspect, v * 14.0f, 6);
            float cover = SmoothStep(0.55f, 0.78f, n) * (1.0f - t * 0.6f);
            c = Mix(c, pal.cloud, cover * 0.85f);
        }
        return c;
    };

    for (int y = 0; y < height; ++y) {
        float v = static_cast<float>(y) / height;
        for (int x = 0; x < width; ++x) {
            float u = static_cast<float>(x) / width;
            Color c;
            float above = horizon - v; // height over the horizon
            if (above >= 0) {
                c = sky(u, v);
                for (int l = 0; l < layers; ++l) {
                    float ridge = ridges[static_cast<std::size_t>(l) * width + x];
                    if (above < ridge) {
                        float depth = layers > 1 ? static_cast<float>(l) / (layers - 1) : 1.0f;
                        Color m = Mix(pal.mountain_far, pal.mountain_near, depth);
                        // Snow caps only on the high peaks.
                        float snow = SmoothStep(0.16f, 0.05f, ridge - above)
                            * SmoothStep(0.20f, 0.30f, above)
                            * (scene.ground == Ground::Snow ? 0.9f : 0.6f);
                        m = Mix(m, Scale({ 0.95f, 0.96f, 1.0f }, pal.light), snow);
                        float shade = 0.78f
                            + 0.3f * noise.Fbm(u * 9.0f * aspect + 3.0f * l, v * 9.0f, 4)
                            + 0.12f * above / ridge;
                        m = Scale(m, shade);
                        // Haze near the foot of the far ridges.
                        c = Mix(
                            m, pal.horizon, (1.0f - depth) * 0.35f * SmoothStep(ridge, 0, above));
                    }
                }
            } else {
                float below = -above / (1.0f - horizon); // 0 at the horizon, 1 at the bottom
                switch (scene.ground) {
                case Ground::Lake:
                case Ground::Sea: {
                    float ripple = 0.004f
                        * std::sin(v * 420.0f + 6.0f * noise.At(u * 30.0f, v * 80.0f))
                        * (0.3f + below);
                    float mv = horizon - (v - horizon) * 0.9f + ripple;
                    Color mirrored = sky(u + ripple, std::max(mv, 0.0f));
                    Color deep = scene.ground == Ground::Sea ? Color { 0.05f, 0.20f, 0.35f }
                                                             : Color { 0.08f, 0.22f, 0.25f };
                    c = Mix(mirrored, Scale(deep, pal.light + 0.2f), 0.25f + 0.45f * below);
                    break;
                }
                case Ground::Meadow: {
                    float n = noise.Fbm(u * 12.0f * aspect, v * 30.0f, 5);
                    Color grass = Mix({ 0.35f, 0.55f, 0.18f }, { 0.18f, 0.38f, 0.10f }, n);
                    float flowers = noise.At(u * 500.0f, v * 400.0f) > 0.992f ? 1.0f : 0.0f;
                    grass = Mix(grass, { 0.95f, 0.85f, 0.25f }, flowers * below);
                    c = Scale(
                        Mix(Mix(grass, pal.horizon, 0.35f * (1 - below)), grass, below), pal.light);
                    break;
                }
                case Ground::Snow: {
                    float n = noise.Fbm(u * 8.0f * aspect, v * 20.0f, 4);
                    c = Scale(
                        Mix({ 0.92f, 0.95f, 1.0f }, { 0.70f, 0.78f, 0.92f }, n * 0.8f), pal.light);
                    break;
                }
                }
            }
            std::uint8_t* p = &img.pixels[(static_cast<std::size_t>(y) * width + x) * 3];
            p[0] = ToByte(c.r);
            p[1] = ToByte(c.g);
            p[2] = ToByte(c.b);
        }
    }
    return img;
}

} // namespace demo
