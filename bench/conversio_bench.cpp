// Times conversio on a 4000 x 3000 colour photo against djpeg writing the
// same BMP, measured in the same run: at 24 bits against `djpeg -bmp`, at
// 8 bits against `djpeg -bmp -colors 236`. Prints medians and ratios; the
// target is at most 1.15 times djpeg's time. Never fails on timings.
#include "base/file.h"
#include "imaging/bmp.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kRepetitions = 7;
constexpr double kTarget = 1.15;

#ifdef _WIN32
constexpr char kNull[] = "NUL";
#else
constexpr char kNull[] = "/dev/null";
#endif

// Appended piece by piece: GCC 12 reports a false -Wrestrict for
// "\"" + string + "\"" when cross-compiling.
std::string Quoted(const fs::path& p)
{
    std::string quoted(1, '"');
    quoted += p.string();
    quoted += '"';
    return quoted;
}

int Shell(const std::string& command)
{
    return std::system((command + " >" + kNull + " 2>&1").c_str());
}

// A synthetic landscape: sky gradient, layered hills with a ragged skyline,
// textured ground, a few hard-edged buildings and sensor-like noise. Enough
// detail that the encoder, the decoder and the quantizer all have work.
void WriteLandscape(const fs::path& path)
{
    std::string head = "P6\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n255\n";
    std::vector<std::uint8_t> data(head.begin(), head.end());
    data.reserve(data.size() + static_cast<std::size_t>(kWidth) * kHeight * 3);
    std::uint32_t state = 2463534242u;
    auto noise = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<int>(state % 17) - 8;
    };
    auto clamp = [](double v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            double fx = x / double(kWidth), fy = y / double(kHeight);
            double far_hill = 0.45 + 0.08 * std::sin(fx * 9.0) + 0.03 * std::sin(fx * 41.0);
            double near_hill = 0.62 + 0.06 * std::sin(fx * 5.0 + 1.0) + 0.02 * std::sin(fx * 97.0);
            double r, g, b;
            if (fy < far_hill) { // sky with soft clouds
                double cloud = 0.5
                    + 0.5 * std::sin(fx * 13.0 + std::sin(fy * 21.0) * 2.0) * std::sin(fy * 17.0);
                r = 90 + 120 * fy + 60 * cloud;
                g = 140 + 80 * fy + 50 * cloud;
                b = 230 - 30 * fy + 20 * cloud;
            } else if (fy < near_hill) { // distant hills, bluish
                r = 70 + 40 * std::sin(fx * 60.0) * std::sin(fy * 80.0);
                g = 110 + 30 * std::sin(fx * 33.0 + fy * 50.0);
                b = 120 + 20 * fy;
            } else { // fields with furrows
                double furrow = std::sin((fx * 300.0 + fy * 40.0) / (0.3 + fy));
                r = 90 + 60 * fy + 25 * furrow;
                g = 130 + 40 * std::sin(fx * 11.0) + 20 * furrow;
                b = 40 + 20 * furrow;
            }
            // Buildings: hard edges and windows.
            int bx = x % 500, col = x / 500;
            if (fy > near_hill - 0.05 - 0.02 * (col % 3) && fy < near_hill + 0.05 && bx > 180
                && bx < 320) {
                bool window = (x / 12) % 2 == 0 && (y / 18) % 2 == 0;
                r = window ? 250 : 150 + col * 10;
                g = window ? 230 : 140;
                b = window ? 120 : 130 - col * 5;
            }
            int n = noise();
            data.push_back(clamp(r + n));
            data.push_back(clamp(g + n));
            data.push_back(clamp(b + n));
        }
    }
    tarvenia::File file(path.string(), tarvenia::File::Mode::Create);
    file.Write(data.data(), data.size());
}

template <class F> double Seconds(F&& action)
{
    auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Compares the pixel data of two BMP files (djpeg leaves biSizeImage 0, so
// whole files differ anyway).
bool SamePixels(const fs::path& a, const fs::path& b)
{
    auto x = tarvenia::File::ReadAll(a.string()), y = tarvenia::File::ReadAll(b.string());
    auto offset = [](const std::vector<unsigned char>& f) {
        return f.size() < 14 ? f.size() : std::size_t(f[10] | f[11] << 8 | f[12] << 16);
    };
    return std::equal(x.begin() + offset(x), x.end(), y.begin() + offset(y), y.end());
}

} // namespace

int main()
{
    const tarvenia::testing::TempFolder folder;
    const fs::path& dir = folder.Root();
    fs::path ppm = dir / "landscape.ppm", jpeg = dir / "landscape.jpg";
    std::printf("generating a %d x %d photo...\n", kWidth, kHeight);
    WriteLandscape(ppm);
    if (Shell("cjpeg -quality 90 -outfile " + Quoted(jpeg) + " " + Quoted(ppm)) != 0) {
        std::printf("cjpeg failed or is missing; nothing measured\n");
        return 0;
    }
    std::printf("photo: %ju bytes of JPEG\n", static_cast<std::uintmax_t>(fs::file_size(jpeg)));

    struct Mode {
        const char* name;
        int display_depth;
        const char* djpeg_options;
    };
    const Mode modes[] = {
        { "24 bits", 32, "-bmp" },
        { "8 bits ", 8, "-bmp -colors 236" },
    };
    for (const Mode& mode : modes) {
        fs::path ours = dir / "ours.bmp", theirs = dir / "djpeg.bmp";
        std::string djpeg = std::string("djpeg ") + mode.djpeg_options + " -outfile "
            + Quoted(theirs) + " " + Quoted(jpeg);
        std::vector<double> ours_s, theirs_s;
        // One warm-up round, then alternate so both see the same conditions.
        for (int i = 0; i <= kRepetitions; ++i) {
            double a = Seconds(
                [&] { tarvenia::conversio(jpeg.string(), ours.string(), mode.display_depth); });
            double b = Seconds([&] { Shell(djpeg); });
            if (i > 0) {
                ours_s.push_back(a);
                theirs_s.push_back(b);
            }
        }
        double a = Median(ours_s), b = Median(theirs_s);
        std::printf(
            "%s: conversio %.1f ms, djpeg %.1f ms (median of %d), ratio %.3f: %s; pixel data %s\n",
            mode.name, a * 1e3, b * 1e3, kRepetitions, a / b,
            a / b <= kTarget ? "within 1.15x" : "ABOVE 1.15x",
            SamePixels(ours, theirs) ? "identical" : "DIFFERENT");
    }
    return 0;
}
