#include "jpeg_test_images.h"

#include "base/error.h"
#include "base/file.h"
#include "support/test_jpeg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <random>

namespace tarvenia::test {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
    constexpr char kNull[] = "NUL";
#else
    constexpr char kNull[] = "/dev/null";
#endif

    std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

    std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at)
    {
        return b[at] | b[at + 1] << 8 | b[at + 2] << 16
            | static_cast<std::uint32_t>(b[at + 3]) << 24;
    }
    std::uint16_t Get16(const std::vector<std::uint8_t>& b, std::size_t at)
    {
        return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
    }

    void WriteNetpbm(const std::string& path, const PhotoSpec& spec, bool grey)
    {
        std::string head = std::string(grey ? "P5" : "P6") + "\n" + std::to_string(spec.width) + " "
            + std::to_string(spec.height) + "\n255\n";
        std::vector<std::uint8_t> bytes(head.begin(), head.end());
        for (int y = 0; y < spec.height; ++y)
            for (int x = 0; x < spec.width; ++x) {
                std::uint8_t rgb[3];
                PatternPixel(x, y, rgb);
                bytes.insert(bytes.end(), rgb, rgb + (grey ? 1 : 3));
            }
        WriteBytes(path, bytes);
    }

    // Where cjpeg is missing (a Windows run), the photos come from libjpeg's
    // own encoder: enough for the tests that need a JPEG but no reference.
    void EncodeInProcess(const std::string& path, const PhotoSpec& spec)
    {
        const bool grey = spec.kind == Kind::Grey;
        const auto bytes
            = tarvenia::testing::EncodePixels({ .width = spec.width,
                                                  .height = spec.height,
                                                  .components = grey ? 1 : 3,
                                                  .quality = spec.quality,
                                                  .progressive = spec.kind == Kind::Progressive },
                [&](int x, int y, unsigned char* samples) {
                    std::uint8_t rgb[3];
                    PatternPixel(x, y, rgb);
                    std::copy(rgb, rgb + (grey ? 1 : 3), samples);
                });
        WriteBytes(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    }

} // namespace

std::string JpegError(int code) { return "JPEG error #" + std::to_string(code); }

std::string ErrorText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

int Run(const std::string& command)
{
    return std::system((command + " >" + kNull + " 2>&1").c_str());
}

bool HaveJpegTools()
{
    static const bool have = Run("cjpeg -version") == 0 && Run("djpeg -version") == 0;
    return have;
}

bool HaveImageMagick()
{
    // Windows has a "convert" of its own: ask for ImageMagick's version text.
    static const bool have = [] {
        TempDir dir;
        std::string out = dir.Path("version.txt");
        if (std::system(("convert -version >" + Quoted(out) + " 2>&1").c_str()) != 0)
            return false;
        auto text = ReadBytes(out);
        return std::string(text.begin(), text.end()).find("ImageMagick") != std::string::npos;
    }();
    return have;
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) { return File::ReadAll(path); }

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    File file(path, File::Mode::Create);
    file.Write(bytes.data(), bytes.size());
}

void PatternPixel(int x, int y, std::uint8_t rgb[3])
{
    // Gradients, hard edges and a little noise: enough detail for the
    // quantizer to choose many colours and for rounding to show.
    std::uint32_t h
        = static_cast<std::uint32_t>(x) * 2654435761u ^ static_cast<std::uint32_t>(y) * 40503u;
    h ^= h >> 13;
    int noise = static_cast<int>(h % 24) - 12;
    int edge = ((x / 13 + y / 9) % 3) * 40;
    auto clamp = [](int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    rgb[0] = clamp(x * 255 / 170 + noise);
    rgb[1] = clamp(y * 2 + edge + noise / 2);
    rgb[2] = clamp(200 - (x + y) / 2 + edge / 2 - noise);
}

std::string MakeJpeg(const TempDir& dir, const std::string& name, const PhotoSpec& spec)
{
    std::string jpeg = dir.Path(name + ".jpg");
    if (spec.kind != Kind::Cmyk && !HaveJpegTools()) {
        EncodeInProcess(jpeg, spec);
        return jpeg;
    }
    const bool grey = spec.kind == Kind::Grey;
    std::string source = dir.Path(name + (grey ? ".pgm" : ".ppm"));
    WriteNetpbm(source, spec, grey);
    std::string quality = std::to_string(spec.quality);
    std::string command = spec.kind == Kind::Cmyk
        ? "convert " + Quoted(source) + " -colorspace CMYK -quality " + quality + " " + Quoted(jpeg)
        : "cjpeg -quality " + quality + (spec.kind == Kind::Progressive ? " -progressive" : "")
            + " -outfile " + Quoted(jpeg) + " " + Quoted(source);
    if (Run(command) != 0)
        ADD_FAILURE() << "failed: " << command;
    return jpeg;
}

namespace {

    // Offset of the first frame header (SOFn) marker, or 0.
    std::size_t FindFrameHeader(const std::vector<std::uint8_t>& jpeg)
    {
        std::size_t at = 2;
        while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
            std::uint8_t marker = jpeg[at + 1];
            if (marker >= 0xC0 && marker <= 0xC3)
                return at;
            at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
        }
        return 0;
    }

} // namespace

std::vector<std::uint8_t> WithAnnouncedSize(std::vector<std::uint8_t> jpeg, int width, int height)
{
    std::size_t sof = FindFrameHeader(jpeg);
    EXPECT_NE(sof, 0u) << "no frame header";
    if (sof == 0)
        return jpeg;
    jpeg[sof + 5] = static_cast<std::uint8_t>(height >> 8);
    jpeg[sof + 6] = static_cast<std::uint8_t>(height);
    jpeg[sof + 7] = static_cast<std::uint8_t>(width >> 8);
    jpeg[sof + 8] = static_cast<std::uint8_t>(width);
    return jpeg;
}

std::vector<std::uint8_t> FailingAfterTheRows(const std::vector<std::uint8_t>& jpeg)
{
    std::size_t sof = FindFrameHeader(jpeg);
    std::size_t scan = 0;
    for (std::size_t i = 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) {
            scan = i;
            break;
        }
    EXPECT_TRUE(sof != 0 && scan != 0) << "not a baseline JPEG";
    if (sof == 0 || scan == 0)
        return jpeg;
    std::size_t cut = scan + (jpeg.size() - scan) / 2;
    std::size_t sof_size = 2 + (jpeg[sof + 2] << 8 | jpeg[sof + 3]);
    std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(cut));
    out.insert(out.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(sof),
        jpeg.begin() + static_cast<std::ptrdiff_t>(sof + sof_size));
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

Bmp ParseBmp(const std::vector<std::uint8_t>& b)
{
    Bmp bmp;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
        return bmp;
    bmp.file_size = Get32(b, 2);
    bmp.reserved = Get32(b, 6);
    bmp.off_bits = Get32(b, 10);
    bmp.info_size = Get32(b, 14);
    bmp.width = static_cast<std::int32_t>(Get32(b, 18));
    bmp.height = static_cast<std::int32_t>(Get32(b, 22));
    bmp.planes = Get16(b, 26);
    bmp.bits = Get16(b, 28);
    bmp.compression = Get32(b, 30);
    bmp.size_image = Get32(b, 34);
    bmp.x_ppm = Get32(b, 38);
    bmp.y_ppm = Get32(b, 42);
    bmp.clr_used = Get32(b, 46);
    bmp.clr_important = Get32(b, 50);
    if (bmp.width < 0 || bmp.height < 0 || bmp.off_bits < 54 || bmp.off_bits > b.size())
        return bmp;
    bmp.stride = (static_cast<std::size_t>(bmp.width) * bmp.bits / 8 + 3) & ~std::size_t { 3 };
    std::size_t size = bmp.stride * static_cast<std::size_t>(bmp.height);
    if (b.size() - bmp.off_bits < size)
        return bmp;
    bmp.palette.assign(b.begin() + 54, b.begin() + bmp.off_bits);
    bmp.pixels.assign(
        b.begin() + bmp.off_bits, b.begin() + static_cast<std::ptrdiff_t>(bmp.off_bits + size));
    bmp.ok = true;
    return bmp;
}

Bmp ReadBmp(const std::string& path) { return ParseBmp(ReadBytes(path)); }

Bmp ReferenceBmp(const TempDir& dir, const std::string& jpeg, bool eight_bits)
{
    static std::atomic<int> counter { 0 };
    std::string out = dir.Path("djpeg-" + std::to_string(counter++) + ".bmp");
    std::string command = std::string("djpeg -bmp") + (eight_bits ? " -colors 236" : "")
        + " -outfile " + Quoted(out) + " " + Quoted(jpeg);
    // djpeg ends with status 2 after a warning (a file cut short): only its
    // output counts.
    Run(command);
    Bmp bmp = File::Exists(out) ? ReadBmp(out) : Bmp {};
    if (!bmp.ok)
        ADD_FAILURE() << "no BMP from: " << command;
    return bmp;
}

} // namespace tarvenia::test
