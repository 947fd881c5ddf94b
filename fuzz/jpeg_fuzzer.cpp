// A photo file from the server: load, decode at 24 bits (a colour display)
// and at 8 bits (a display of 256 colours), and the BMP writer. Failures must
// be the program's own errors; a decoded image must be exactly as large as
// its rows say, with zero padding, and an 8-bit image must index only the
// colours of its table.
#include "fuzz_input.h"

#include "base/error.h"
#include "imaging/bmp.h"
#include "imaging/jpeg_picture.h"

#include <optional>
#include <vector>

using namespace tarvenia;
using namespace tarvenia::fuzz;

namespace {

// Images up to this size also go through the BMP writer; larger ones would
// make every run write tens of megabytes for nothing new.
constexpr std::size_t kMaxBmpBytes = 4u << 20;

void CheckImage(const JpegPicture& picture, const DecodedImage& image)
{
    FUZZ_CHECK(image.bits == 8 || image.bits == 24);
    FUZZ_CHECK(image.width == picture.Width() && image.height == picture.Height());
    FUZZ_CHECK(image.stride == DecodedImage::StrideFor(image.width, image.bits));
    FUZZ_CHECK(image.pixels.size() == image.stride * static_cast<std::size_t>(image.height));
    const std::size_t used = static_cast<std::size_t>(image.width) * (image.bits / 8);
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* row = image.Row(y);
        for (std::size_t x = used; x < image.stride; ++x)
            FUZZ_CHECK(row[x] == 0);
        if (image.bits == 8) {
            FUZZ_CHECK(image.colors >= 1 && image.colors <= 256);
            for (std::size_t x = 0; x < used; ++x)
                FUZZ_CHECK(row[x] < image.colors);
        }
    }
}

void DecodeAt(const std::vector<unsigned char>& bytes, int display_depth, const ScratchFile& bmp)
{
    std::optional<JpegPicture> picture;
    try {
        picture.emplace(JpegPicture::FromBytes(bytes, display_depth));
    } catch (const Error&) {
        return;
    }
    bool decoded = true;
    try {
        picture->Decode();
    } catch (const Error&) {
        decoded = false;
    }
    // A second request gives the kept image, also after a failure.
    const DecodedImage& image = picture->Decode();
    if (!decoded)
        return;
    CheckImage(*picture, image);
    if (image.pixels.size() > kMaxBmpBytes)
        return;
    WriteBmp(image, bmp.Path());
    const std::size_t table = image.bits == 8 ? 1024 : 0;
    FUZZ_CHECK(bmp.Read().value_or("").size() == 54 + table + image.pixels.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ScratchFile bmp("qndelar.bmp");
    const std::vector<unsigned char> bytes(data, data + size);
    DecodeAt(bytes, 24, bmp);
    DecodeAt(bytes, 8, bmp);
    return 0;
}
