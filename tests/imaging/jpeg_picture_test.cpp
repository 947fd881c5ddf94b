#include "base/error.h"
#include "imaging/jpeg_picture.h"
#include "jpeg_test_images.h"
#include "support/hostile_jpeg.h"

#include <gtest/gtest.h>

// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <cstdlib>
#include <optional>

namespace tarvenia::test {
namespace {

    std::size_t DifferentBytes(
        const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
    {
        std::size_t n = a.size() != b.size() ? std::max(a.size(), b.size()) : 0;
        for (std::size_t i = 0; n == 0 && i < a.size(); ++i)
            n += a[i] != b[i];
        return n;
    }

    // The 24-bit view of a decoded image: palette colours looked up.
    std::vector<int> Bgr(const DecodedImage& image, int x, int y)
    {
        const std::uint8_t* p = image.Row(y);
        if (image.bits == 24)
            return { p[3 * x], p[3 * x + 1], p[3 * x + 2] };
        const std::uint8_t* entry = image.palette.data() + 4 * p[x];
        return { entry[0], entry[1], entry[2] };
    }

    TEST(JpegPicture, DecodesAsTheReferenceDecoderDoes)
    {
        if (!HaveJpegTools())
            GTEST_SKIP() << "cjpeg/djpeg not installed";
        struct Row {
            const char* what;
            PhotoSpec spec;
            int keep_thirds; // of the file's bytes
            int display_depth;
            int bits;
        };
        const Row rows[] = {
            { "colour 160x120", { Kind::Colour, 160, 120 }, 3, 32, 24 },
            { "colour 161 wide: padded rows", { Kind::Colour, 161, 120 }, 3, 24, 24 },
            { "colour on a 16-bit display", { Kind::Colour, 160, 120 }, 3, 16, 24 },
            { "colour on an 8-bit display", { Kind::Colour, 160, 120 }, 3, 8, 8 },
            { "colour 161 wide on a 4-bit display", { Kind::Colour, 161, 120 }, 3, 4, 8 },
            { "grey 101x75", { Kind::Grey, 101, 75 }, 3, 32, 8 },
            { "grey 100x75 on an 8-bit display", { Kind::Grey, 100, 75 }, 3, 8, 8 },
            { "progressive", { Kind::Progressive, 161, 120 }, 3, 32, 24 },
            { "progressive on an 8-bit display", { Kind::Progressive, 161, 120 }, 3, 8, 8 },
            { "cut to two thirds", { Kind::Colour, 160, 120 }, 2, 32, 24 },
            { "cut to two thirds, 8 bits", { Kind::Colour, 160, 120 }, 2, 8, 8 },
            { "grey cut to two thirds", { Kind::Grey, 100, 75 }, 2, 32, 8 },
            // Block smoothing only acts where a progressive file lacks scans.
            { "progressive cut to a third", { Kind::Progressive, 160, 120 }, 1, 32, 24 },
            { "progressive cut to a third, 8 bits", { Kind::Progressive, 160, 120 }, 1, 8, 8 },
            { "CMYK", { Kind::Cmyk, 161, 120 }, 3, 32, 24 },
        };
        TempDir dir;
        int n = 0;
        for (const Row& row : rows) {
            SCOPED_TRACE(row.what);
            if (row.spec.kind == Kind::Cmyk && !HaveImageMagick()) {
                std::printf("skipped without ImageMagick: %s\n", row.what);
                continue;
            }
            std::string jpeg = MakeJpeg(dir, "photo" + std::to_string(n++), row.spec);
            if (row.keep_thirds < 3) {
                auto bytes = ReadBytes(jpeg);
                bytes.resize(bytes.size() * static_cast<std::size_t>(row.keep_thirds) / 3);
                jpeg = dir.Path("cut" + std::to_string(n) + ".jpg");
                WriteBytes(jpeg, bytes);
            }

            JpegPicture picture = JpegPicture::Load(jpeg, row.display_depth);
            EXPECT_EQ(picture.Width(), row.spec.width);
            EXPECT_EQ(picture.Height(), row.spec.height);
            EXPECT_FALSE(picture.IsDecoded());
            const DecodedImage& image = picture.Decode();
            ASSERT_EQ(image.bits, row.bits);
            ASSERT_EQ(image.width, row.spec.width);
            ASSERT_EQ(image.height, row.spec.height);
            ASSERT_EQ(image.stride, DecodedImage::StrideFor(image.width, image.bits));
            ASSERT_EQ(image.pixels.size(), image.stride * static_cast<std::size_t>(image.height));

            Bmp reference = ReferenceBmp(dir, jpeg, row.bits == 8);
            ASSERT_TRUE(reference.ok);
            ASSERT_EQ(reference.bits, row.bits);
            EXPECT_EQ(DifferentBytes(image.pixels, reference.pixels), 0u) << "pixel bytes differ";
            if (row.bits == 8) {
                EXPECT_GT(image.colors, 1);
                EXPECT_LE(image.colors, 236);
                std::vector<std::uint8_t> palette(image.palette.begin(), image.palette.end());
                EXPECT_EQ(DifferentBytes(palette, reference.palette), 0u) << "colour tables differ";
                for (std::size_t i = 0; i < image.pixels.size(); ++i)
                    if (i % image.stride < static_cast<std::size_t>(image.width)
                        && image.pixels[i] >= image.colors) {
                        ADD_FAILURE() << "pixel uses unset entry " << int(image.pixels[i]);
                        break;
                    }
            }
            if (row.spec.kind == Kind::Grey) {
                EXPECT_EQ(image.colors, 236);
                const std::uint8_t black[4] = { 0, 0, 0, 0 }, white[4] = { 255, 255, 255, 0 };
                EXPECT_TRUE(std::equal(black, black + 4, image.palette.data()));
                EXPECT_TRUE(std::equal(white, white + 4, image.palette.data() + 4 * 235));
            }
        }
    }

    // Four-component photos come out in their true colours: compared with
    // the pattern they were made from, at 24 bits pixel by pixel and at 8 bits
    // over 8x8 blocks (dithering moves single pixels a long way).
    TEST(JpegPicture, CmykPhotoKeepsItsColours)
    {
        if (!HaveImageMagick())
            GTEST_SKIP() << "ImageMagick not installed";
        struct Row {
            int display_depth;
            int block;
            double mean_limit;
            int max_limit;
        };
        const Row rows[] = { { 24, 1, 4.0, 32 }, { 8, 8, 4.0, 24 } };
        TempDir dir;
        const PhotoSpec spec { Kind::Cmyk, 160, 120, 95 };
        std::string jpeg = MakeJpeg(dir, "cmyk", spec);
        for (const Row& row : rows) {
            SCOPED_TRACE("display depth " + std::to_string(row.display_depth));
            JpegPicture picture = JpegPicture::Load(jpeg, row.display_depth);
            const DecodedImage& image = picture.Decode();
            ASSERT_EQ(image.width, 160);
            ASSERT_EQ(image.height, 120);
            ASSERT_EQ(image.bits, row.display_depth <= 8 ? 8 : 24);
            double total = 0;
            int worst = 0, samples = 0;
            for (int by = 0; by < 120; by += row.block)
                for (int bx = 0; bx < 160; bx += row.block) {
                    int got[3] = {}, want[3] = {};
                    for (int y = by; y < by + row.block; ++y)
                        for (int x = bx; x < bx + row.block; ++x) {
                            auto bgr = Bgr(image, x, y);
                            std::uint8_t rgb[3];
                            PatternPixel(x, y, rgb);
                            for (int c = 0; c < 3; ++c) {
                                got[c] += bgr[2 - c];
                                want[c] += rgb[c];
                            }
                        }
                    for (int c = 0; c < 3; ++c) {
                        int diff = std::abs(got[c] - want[c]) / (row.block * row.block);
                        total += diff;
                        worst = std::max(worst, diff);
                        ++samples;
                    }
                }
            EXPECT_LT(total / samples, row.mean_limit);
            EXPECT_LE(worst, row.max_limit);
        }
    }

    TEST(JpegPicture, LoadFailures)
    {
        struct Row {
            const char* what;
            std::optional<std::string> bytes; // none: the file does not exist
            std::string text; // "%s" stands for the path
        };
        const Row rows[] = {
            { "missing file", std::nullopt, "Cannot open file %s" },
            { "an HTML page", "<html><body>Not Found</body></html>\n", JpegError(JERR_NO_SOI) },
            { "one byte", "\xFF", JpegError(JERR_NO_SOI) },
            { "nothing after the start marker", std::string("\xFF\xD8", 2),
                JpegError(JERR_NO_IMAGE) },
            { "start marker and garbage", std::string("\xFF\xD8\xFF\xC0\x00\x03", 6),
                JpegError(JERR_BAD_LENGTH) },
        };
        TempDir dir;
        int n = 0;
        for (const Row& row : rows) {
            SCOPED_TRACE(row.what);
            std::string path = dir.Path("photo" + std::to_string(n++) + ".jpg");
            if (row.bytes)
                WriteBytes(path, std::vector<std::uint8_t>(row.bytes->begin(), row.bytes->end()));
            std::string text = row.text;
            if (auto at = text.find("%s"); at != std::string::npos)
                text.replace(at, 2, path);
            EXPECT_EQ(ErrorText([&] { JpegPicture::Load(path, 32); }), text);
        }
        EXPECT_EQ(ErrorText([&] { JpegPicture::Load(dir.Path(""), 32); }),
            "Cannot open file " + dir.Path(""));
    }

    TEST(JpegPicture, EmptyFileFailsAtItsFirstDecodeOnly)
    {
        TempDir dir;
        std::string path = dir.Path("empty.jpg");
        WriteBytes(path, {});
        JpegPicture picture = JpegPicture::Load(path, 32);
        EXPECT_EQ(picture.Width(), 0);
        EXPECT_EQ(picture.Height(), 0);
        EXPECT_EQ(ErrorText([&] { picture.Decode(); }), JpegError(JERR_INPUT_EMPTY));
        EXPECT_TRUE(picture.IsDecoded());
        EXPECT_EQ(ErrorText([&] { picture.Decode(); }), "(no error)");
        EXPECT_EQ(picture.Decode().width, 0);
        EXPECT_TRUE(picture.Decode().pixels.empty());
    }

    TEST(JpegPicture, FailedDecodeKeepsTheRowsItGot)
    {
        TempDir dir;
        auto good = ReadBytes(MakeJpeg(dir, "photo", { Kind::Colour, 160, 120 }));
        JpegPicture reference = JpegPicture::FromBytes(good, 32);
        JpegPicture picture = JpegPicture::FromBytes(FailingAfterTheRows(good), 32);
        EXPECT_EQ(ErrorText([&] { picture.Decode(); }), JpegError(JERR_SOF_DUPLICATE));
        const DecodedImage* kept = nullptr;
        EXPECT_EQ(ErrorText([&] { kept = &picture.Decode(); }), "(no error)");
        ASSERT_NE(kept, nullptr);
        ASSERT_EQ(kept->width, 160);
        ASSERT_EQ(kept->height, 120);
        // The top rows came before the cut.
        const DecodedImage& full = reference.Decode();
        for (int y = 0; y < 16; ++y)
            EXPECT_TRUE(std::equal(full.Row(y), full.Row(y) + full.stride, kept->Row(y)))
                << "row " << y;
    }

    // A header may announce a picture far larger than the program can hold;
    // it is refused before anything is allocated.
    TEST(JpegPicture, OversizedHeaderIsRefusedAtLoad)
    {
        struct Row {
            Kind kind;
            int width, height, display_depth;
            bool refused;
        };
        const Row rows[] = {
            { Kind::Colour, 30000, 30000, 32, true },
            { Kind::Colour, 30000, 30000, 8, true },
            { Kind::Colour, 9000, 9000, 32, false }, // 243 MB
            { Kind::Colour, 9000, 10000, 32, true }, // 270 MB
            { Kind::Colour, 9000, 9000, 8, false },
            // The colour quantizer holds the picture at 24 bits.
            { Kind::Colour, 9000, 10000, 8, true },
            { Kind::Grey, 16384, 16384, 32, false }, // exactly 256 MiB
            { Kind::Grey, 16385, 16384, 32, true },
            { Kind::Progressive, 60000, 60000, 32, true },
        };
        TempDir dir;
        std::string small[3];
        for (const Row& row : rows) {
            SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height) + " at "
                + std::to_string(row.display_depth));
            std::string& jpeg = small[static_cast<int>(row.kind)];
            if (jpeg.empty())
                jpeg = MakeJpeg(dir, "small" + std::to_string(static_cast<int>(row.kind)),
                    { row.kind, 16, 16 });
            auto bytes = WithAnnouncedSize(ReadBytes(jpeg), row.width, row.height);
            if (row.refused) {
                EXPECT_EQ(ErrorText([&] { JpegPicture::FromBytes(bytes, row.display_depth); }),
                    JpegError(JERR_IMAGE_TOO_BIG));
            } else {
                JpegPicture picture = JpegPicture::FromBytes(bytes, row.display_depth);
                EXPECT_EQ(picture.Width(), row.width);
                EXPECT_EQ(picture.Height(), row.height);
            }
        }
    }

    // Files made to keep the decoder busy or to make it allocate far more than
    // the picture: too many scans end with the progression error when the
    // next scan begins; whole-picture buffers beyond the budget are refused
    // before they are allocated. Files within the bounds decode.
    // The progressions real encoders write stay below the scan limit: the
    // most scans of any, libjpeg's CMYK progression, decodes.
    TEST(JpegPicture, TheStandardProgressionsDecode)
    {
        if (!HaveImageMagick())
            GTEST_SKIP() << "ImageMagick not installed";
        TempDir dir;
        struct Row {
            Kind kind;
            std::size_t scans;
        } rows[] = { { Kind::Grey, 6 }, { Kind::Colour, 10 }, { Kind::Cmyk, 18 } };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.scans);
            const std::string name = std::to_string(row.scans);
            const std::string plain = MakeJpeg(dir, "plain" + name, { row.kind, 40, 30 });
            const std::string progressive = dir.Path("progressive" + name + ".jpg");
            ASSERT_EQ(test::Run("convert " + plain + " -interlace JPEG " + progressive), 0);
            const auto bytes = ReadBytes(progressive);
            std::size_t scans = 0;
            for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
                scans += bytes[i] == 0xFF && bytes[i + 1] == 0xDA;
            EXPECT_EQ(scans, row.scans);
            JpegPicture picture = JpegPicture::FromBytes(bytes, 32);
            EXPECT_EQ(picture.Decode().height, 30);
        }
    }

    TEST(JpegPicture, HostileFilesAreBoundedInWorkAndMemory)
    {
        struct Row {
            const char* what;
            HostileJpegSpec spec;
            int display_depth;
            int error; // 0: decodes
        };
        const HostileJpegSpec storm = SequentialSpec(96, 96, 1, 144);
        const Row rows[] = {
            { "24 scans, the most allowed", ProgressiveSpec(64, 48, 1, false, 23), 32, 0 },
            { "25 scans", ProgressiveSpec(64, 48, 1, false, 24), 32, JERR_BAD_PROGRESSION },
            { "25 arithmetic scans", ProgressiveSpec(64, 48, 1, true, 24), 32,
                JERR_BAD_PROGRESSION },
            { "2000 colour scans", ProgressiveSpec(64, 48, 3, false, 1999), 32,
                JERR_BAD_PROGRESSION },
            { "2000 CMYK arithmetic scans at 8 bits", ProgressiveSpec(64, 48, 4, true, 1999), 8,
                JERR_BAD_PROGRESSION },
            { "header-only CMYK 9460 x 9458", ProgressiveSpec(9460, 9458, 4, false, 0), 32,
                JERR_NO_BACKING_STORE },
            { "greyscale 16384 x 16384, 2000 arithmetic scans",
                ProgressiveSpec(16384, 16384, 1, true, 1999), 32, JERR_NO_BACKING_STORE },
            { "colour 9000 x 9000 quantized to 8 bits", ProgressiveSpec(9000, 9000, 3, false, 0), 8,
                JERR_NO_BACKING_STORE },
            { "a restart marker per block", storm, 32, 0 },
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.what);
            JpegPicture picture = JpegPicture::FromBytes(HostileJpeg(row.spec), row.display_depth);
            ASSERT_EQ(picture.Width(), row.spec.width);
            if (row.error == 0) {
                const DecodedImage& image = picture.Decode();
                EXPECT_EQ(image.height, row.spec.height);
            } else {
                EXPECT_EQ(ErrorText([&] { picture.Decode(); }), JpegError(row.error));
            }
        }
    }

} // namespace
} // namespace tarvenia::test
