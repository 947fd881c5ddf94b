// Decoding time and peak memory of hostile JPEG files (thousands of empty
// progressive scans, Huffman and arithmetic; the largest sizes the memory
// budget accepts; restart storms; CMYK; header-only files of huge
// announced sizes) next to a normal baseline photo of the same decoded size,
// encoded and decoded in the same run. Each decode runs in a child process
// of its own, whose peak resident memory the system reports. Target: no file
// slower than 3 times its photo, none above 512 MiB. Never fails on figures.
//
//   bench_jpeg_bounds [--write-regressions DIR]
// With the option it only writes the small hostile files into DIR.
#include "support/hostile_jpeg.h"
#include "support/test_jpeg.h"

#include "base/error.h"
#include "imaging/jpeg_picture.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

using tarvenia::JpegPicture;
using tarvenia::test::HostileJpeg;
using tarvenia::test::HostileJpegSpec;
using tarvenia::test::ProgressiveSpec;
using tarvenia::test::SequentialSpec;

namespace {

constexpr double kTargetRatio = 3.0;
constexpr double kTargetMiB = 512.0;
constexpr int kDisplayDepth = 32;

struct Measure {
    double seconds = 0;
    double peak_mib = 0;
    std::string outcome;
};

// Decodes in a child process: the child's peak RSS is the decode's alone.
Measure DecodeInChild(std::vector<std::uint8_t> bytes)
{
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0)
        std::abort();
    auto start = std::chrono::steady_clock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipe_fds[0]);
        std::string outcome = "decoded";
        try {
            // Moved, not copied: the file's bytes are held once, as in the
            // program.
            JpegPicture picture = JpegPicture::FromBytes(std::move(bytes), kDisplayDepth);
            picture.Decode();
        } catch (const tarvenia::Error& e) {
            outcome = e.what();
        }
        (void)!::write(pipe_fds[1], outcome.data(), outcome.size());
        ::_exit(0);
    }
    ::close(pipe_fds[1]);
    Measure m;
    char buffer[256];
    ssize_t n;
    while ((n = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0)
        m.outcome.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe_fds[0]);
    int status = 0;
    rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peak_mib = static_cast<double>(usage.ru_maxrss) / 1024.0;
    if (m.outcome.empty())
        m.outcome = "child died";
    return m;
}

// A normal photo: baseline, quality 90, 4:2:0 for colour (CMYK as libjpeg
// writes it: four full-size components), of a pattern with gradients, edges
// and noise, encoded by libjpeg here.
std::vector<std::uint8_t> BaselinePhoto(int width, int height, int components)
{
    std::uint32_t state = 2463534242u;
    const auto bytes = tarvenia::testing::EncodePixels(
        { .width = width, .height = height, .components = components },
        [&](int x, int y, unsigned char* samples) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int noise = static_cast<int>(state % 24);
            const int edge = ((x / 97) + (y / 61)) % 2 ? 60 : 0;
            for (int c = 0; c < components; ++c)
                samples[c]
                    = static_cast<unsigned char>((x * (c + 1) / 40 + y / 30 + edge + noise) % 256);
        });
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

struct Case {
    const char* name;
    HostileJpegSpec spec;
    const char* regression; // file name when written as a regression input
};

std::vector<Case> Cases()
{
    return {
        // The largest sizes whose coefficient buffer fits the budget.
        { "grey 13312^2, 2000 Huffman scans", ProgressiveSpec(13312, 13312, 1, false, 1999),
            nullptr },
        { "grey 13312^2, 2000 arithmetic scans", ProgressiveSpec(13312, 13312, 1, true, 1999),
            nullptr },
        { "colour 7680^2, 2000 Huffman scans", ProgressiveSpec(7680, 7680, 3, false, 1999),
            nullptr },
        { "colour 7680^2, 2000 arithmetic scans", ProgressiveSpec(7680, 7680, 3, true, 1999),
            nullptr },
        { "CMYK 6912^2, 2000 arithmetic scans", ProgressiveSpec(6912, 6912, 4, true, 1999),
            nullptr },
        // The files of the report: refused by the memory budget now.
        { "grey 16384^2, 2000 arithmetic scans", ProgressiveSpec(16384, 16384, 1, true, 1999),
            "grey-16384-2000-arithmetic-scans.jpg" },
        { "colour 9460x9458, 2000 arithmetic scans", ProgressiveSpec(9460, 9458, 3, true, 1999),
            "colour-9460x9458-2000-arithmetic-scans.jpg" },
        { "CMYK 9460x9458 progressive, header only", ProgressiveSpec(9460, 9458, 4, false, 0),
            "cmyk-9460x9458-progressive-header-only.jpg" },
        // Within every bound: sequential files of the largest accepted sizes.
        { "grey 16384^2, a restart marker per MCU (first 100000)",
            SequentialSpec(16384, 16384, 1, 100000), nullptr },
        { "colour 9460x9458 baseline, header only", SequentialSpec(9460, 9458, 3, 0), nullptr },
        // Small ones for the regression corpus: stopped at scan 25.
        { "grey 2048^2, 2000 Huffman scans", ProgressiveSpec(2048, 2048, 1, false, 1999),
            "grey-2048-2000-huffman-scans.jpg" },
        { "CMYK 1024^2, 2000 arithmetic scans", ProgressiveSpec(1024, 1024, 4, true, 1999),
            "cmyk-1024-2000-arithmetic-scans.jpg" },
    };
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<Case> cases = Cases();
    if (argc == 3 && std::string(argv[1]) == "--write-regressions") {
        for (const Case& c : cases) {
            if (!c.regression)
                continue;
            auto bytes = HostileJpeg(c.spec);
            std::ofstream(std::string(argv[2]) + "/" + c.regression, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<std::streamsize>(bytes.size()));
        }
        return 0;
    }

    std::printf("Hostile JPEG files against a baseline photo of the same decoded size\n");
    std::printf("(display depth %d; target: at most %.0f x the photo's time, %.0f MiB peak)\n\n",
        kDisplayDepth, kTargetRatio, kTargetMiB);
    std::printf(
        "%-52s %8s %9s %9s %8s  %s\n", "file", "bytes", "seconds", "peak MiB", "ratio", "outcome");

    // One reference photo per decoded size and kind (greyscale, colour,
    // CMYK), measured first.
    std::map<std::string, Measure> references;
    bool all_within = true;
    for (const Case& c : cases) {
        const int ref_components = c.spec.components;
        const std::string key = std::to_string(c.spec.width) + "x" + std::to_string(c.spec.height)
            + "/" + std::to_string(ref_components);
        if (!references.count(key)) {
            Measure r = DecodeInChild(BaselinePhoto(c.spec.width, c.spec.height, ref_components));
            references[key] = r;
            std::printf("%-52s %8s %9.2f %9.1f %8s  %s\n",
                ("photo " + key + " (reference)").c_str(), "", r.seconds, r.peak_mib, "1.00",
                r.outcome.c_str());
        }
        const Measure& ref = references[key];
        auto bytes = HostileJpeg(c.spec);
        const std::size_t size = bytes.size();
        Measure m = DecodeInChild(std::move(bytes));
        const double ratio = m.seconds / ref.seconds;
        all_within = all_within && ratio <= kTargetRatio && m.peak_mib <= kTargetMiB;
        std::printf("%-52s %8zu %9.2f %9.1f %8.2f  %s\n", c.name, size, m.seconds, m.peak_mib,
            ratio, m.outcome.c_str());
        std::fflush(stdout);
    }
    std::printf(
        "\n%s\n", all_within ? "every file within the targets" : "SOME FILE OUTSIDE THE TARGETS");
    return 0;
}
