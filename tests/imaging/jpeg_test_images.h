// Test photos made by the JPEG tools of the system (cjpeg, ImageMagick) from
// images written here, the reference decoder (djpeg), and a BMP reader. Tests
// that need a tool skip when it is not installed.
#pragma once

#include "support/temp_folder.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tarvenia::test {

using TempDir = tarvenia::testing::TempFolder;

// "JPEG error #<code>" as the program reports libjpeg's fatal errors.
std::string JpegError(int code);
// The text of the tarvenia::Error the action throws, or "(no error)".
std::string ErrorText(const std::function<void()>& action);

bool HaveJpegTools(); // cjpeg and djpeg
bool HaveImageMagick(); // convert

// Runs a command line through the shell with its output discarded; returns
// its exit status.
int Run(const std::string& command);

std::vector<std::uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

enum class Kind {
    Colour,
    Grey,
    Progressive, // colour
    Cmyk, // colour stored as Adobe CMYK by ImageMagick
};

struct PhotoSpec {
    Kind kind;
    int width;
    int height;
    int quality = 90;
};

// Writes a detailed test pattern as PPM/PGM and encodes it with cjpeg (or
// ImageMagick for CMYK); returns the JPEG's path. Without cjpeg, libjpeg's
// encoder makes the photo. Fails the calling test when a tool fails.
std::string MakeJpeg(const TempDir& dir, const std::string& name, const PhotoSpec& spec);

// The pattern's pixel (red, green, blue; grey images use red only).
void PatternPixel(int x, int y, std::uint8_t rgb[3]);

// The JPEG with the size in its frame header replaced: the data stay those
// of the small image.
std::vector<std::uint8_t> WithAnnouncedSize(std::vector<std::uint8_t> jpeg, int width, int height);

// A baseline JPEG cut in the middle of its image data and followed by a
// second frame header: libjpeg decodes the rows and then stops with a fatal
// error (two SOF markers).
std::vector<std::uint8_t> FailingAfterTheRows(const std::vector<std::uint8_t>& jpeg);

// A BMP file taken apart; only what the tests look at.
struct Bmp {
    bool ok = false;
    std::uint32_t file_size = 0, reserved = 0, off_bits = 0;
    std::uint32_t info_size = 0;
    std::int32_t width = 0, height = 0;
    std::uint16_t planes = 0, bits = 0;
    std::uint32_t compression = 0, size_image = 0, x_ppm = 0, y_ppm = 0, clr_used = 0,
                  clr_important = 0;
    std::size_t stride = 0;
    std::vector<std::uint8_t> palette; // all entries present in the file
    std::vector<std::uint8_t> pixels; // stride * height bytes from off_bits
};
Bmp ParseBmp(const std::vector<std::uint8_t>& bytes);
Bmp ReadBmp(const std::string& path);

// djpeg's BMP of the photo: 24 bits, or `-colors 236` (8 bits).
Bmp ReferenceBmp(const TempDir& dir, const std::string& jpeg, bool eight_bits);

} // namespace tarvenia::test
