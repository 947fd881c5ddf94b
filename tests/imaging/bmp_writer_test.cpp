#include "base/error.h"
#include "imaging/bmp.h"
#include "jpeg_test_images.h"

#include <gtest/gtest.h>

namespace tarvenia::test {
namespace {

    struct Layout {
        int width, height, bits;
        std::size_t stride;
        std::uint32_t size_image, off_bits, file_size, clr_used;
    };

    const Layout kLayouts[] = {
        { 160, 120, 24, 480, 57600, 54, 57654, 0 },
        { 161, 120, 24, 484, 58080, 54, 58134, 0 },
        { 1, 1, 24, 4, 4, 54, 58, 0 },
        { 100, 75, 8, 100, 7500, 1078, 8578, 256 },
        { 101, 75, 8, 104, 7800, 1078, 8878, 256 },
        { 3, 2, 8, 4, 8, 1078, 1086, 256 },
    };

    void ExpectLayout(const Bmp& bmp, const Layout& want, std::size_t file_bytes)
    {
        ASSERT_TRUE(bmp.ok);
        EXPECT_EQ(bmp.file_size, want.file_size);
        EXPECT_EQ(file_bytes, want.file_size);
        EXPECT_EQ(bmp.reserved, 0u);
        EXPECT_EQ(bmp.off_bits, want.off_bits);
        EXPECT_EQ(bmp.info_size, 40u);
        EXPECT_EQ(bmp.width, want.width);
        EXPECT_EQ(bmp.height, want.height); // positive: bottom-up
        EXPECT_EQ(bmp.planes, 1);
        EXPECT_EQ(bmp.bits, want.bits);
        EXPECT_EQ(bmp.compression, 0u);
        EXPECT_EQ(bmp.size_image, want.size_image);
        EXPECT_EQ(bmp.x_ppm, 0u);
        EXPECT_EQ(bmp.y_ppm, 0u);
        EXPECT_EQ(bmp.clr_used, want.clr_used);
        EXPECT_EQ(bmp.clr_important, 0u);
        EXPECT_EQ(bmp.stride, want.stride);
    }

    // The stored rows and the colour table go into the file as they are.
    TEST(WriteBmp, HeadersAndDataOfTheDecodedImage)
    {
        TempDir dir;
        for (const Layout& want : kLayouts) {
            SCOPED_TRACE(std::to_string(want.width) + "x" + std::to_string(want.height) + "x"
                + std::to_string(want.bits));
            DecodedImage image;
            image.width = want.width;
            image.height = want.height;
            image.bits = want.bits;
            image.stride = DecodedImage::StrideFor(want.width, want.bits);
            image.pixels.resize(image.stride * static_cast<std::size_t>(want.height));
            for (std::size_t i = 0; i < image.pixels.size(); ++i)
                image.pixels[i] = static_cast<std::uint8_t>(i * 7 + 3);
            for (std::size_t i = 0; i < image.palette.size(); ++i)
                image.palette[i] = static_cast<std::uint8_t>(i % 4 == 3 ? 0 : i * 5);
            image.colors = want.bits == 8 ? 200 : 0;
            std::string path = dir.Path("out.bmp");
            WriteBmp(image, path);
            auto bytes = ReadBytes(path);
            Bmp bmp = ParseBmp(bytes);
            ExpectLayout(bmp, want, bytes.size());
            EXPECT_TRUE(bmp.pixels == image.pixels);
            if (want.bits == 8)
                EXPECT_TRUE(
                    std::equal(image.palette.begin(), image.palette.end(), bmp.palette.begin()));
            else
                EXPECT_TRUE(bmp.palette.empty());
        }
    }

    TEST(Conversio, WritesThePhotoAsABitmap)
    {
        struct Row {
            PhotoSpec spec;
            int display_depth;
            Layout want;
        };
        const Row rows[] = {
            { { Kind::Colour, 160, 120 }, 32, kLayouts[0] },
            { { Kind::Colour, 161, 120 }, 16, kLayouts[1] },
            { { Kind::Grey, 100, 75 }, 32, kLayouts[3] },
            { { Kind::Grey, 101, 75 }, 8, kLayouts[4] },
            { { Kind::Colour, 100, 75 }, 8, kLayouts[3] },
        };
        TempDir dir;
        int n = 0;
        for (const Row& row : rows) {
            SCOPED_TRACE(n);
            std::string jpeg = MakeJpeg(dir, "photo" + std::to_string(n++), row.spec);
            // A larger bitmap from an earlier run is emptied first.
            std::string bitmap = dir.Path("qndelar.bmp");
            WriteBytes(bitmap, std::vector<std::uint8_t>(100000, 0xEE));
            conversio(jpeg, bitmap, row.display_depth);
            auto bytes = ReadBytes(bitmap);
            Bmp bmp = ParseBmp(bytes);
            ExpectLayout(bmp, row.want, bytes.size());
            if (row.spec.kind == Kind::Grey) {
                const std::uint8_t black[4] = { 0, 0, 0, 0 }, white[4] = { 255, 255, 255, 0 };
                EXPECT_TRUE(std::equal(black, black + 4, bmp.palette.begin()));
                EXPECT_TRUE(std::equal(white, white + 4, bmp.palette.begin() + 4 * 235));
            }
            // Padding bytes are zero; the pixel data are djpeg's.
            std::size_t used = static_cast<std::size_t>(row.spec.width) * row.want.bits / 8;
            for (std::size_t i = 0; i < bmp.pixels.size(); ++i)
                if (i % bmp.stride >= used && bmp.pixels[i] != 0) {
                    ADD_FAILURE() << "padding byte " << i << " is " << int(bmp.pixels[i]);
                    break;
                }
            if (HaveJpegTools()) {
                EXPECT_TRUE(bmp.pixels == ReferenceBmp(dir, jpeg, row.want.bits == 8).pixels);
            }
        }
    }

} // namespace
} // namespace tarvenia::test
