#include "imaging/jpeg_picture.h"

#include "base/error.h"
#include "base/file.h"
#include "imaging/jpeg_decompressor.h"

#include <cstdint>
#include <jerror.h>
#include <new>
#include <utility>

namespace tarvenia {

namespace {

    // Pictures whose full-colour image would exceed this size are refused
    // before anything is allocated: a header may announce up to 65500 x 65500
    // pixels, far more than the program can hold, whatever the file's own
    // size. Colour pictures count at 24 bits also on a low-colour display,
    // because the two-pass quantizer keeps the whole picture in that form.
    constexpr std::uint64_t kMaxDecodedBytes = std::uint64_t { 256 } << 20;

    // The whole decode, the decoded image included, stays within this much.
    // What libjpeg may take besides the image is handed to it as its memory
    // limit: its whole-picture buffers (the coefficients of a progressive or
    // multi-scan file, 2 bytes per sample; the two-pass quantizer's copy of
    // the picture, 3 bytes per pixel) are then refused with
    // JERR_NO_BACKING_STORE before they are allocated, however small the
    // file that asks for them.
    constexpr std::uint64_t kMaxDecodeBytes = std::uint64_t { 512 } << 20;

    // Every scan walks every block of its components, so a file of a few
    // kilobytes made of thousands of empty scans keeps the decoder busy for
    // minutes; an empty arithmetic-coded refinement scan costs about as much
    // as decoding the whole picture once. Encoders write far fewer: libjpeg's
    // standard progression has 6 scans for greyscale, 10 for colour and 18
    // for CMYK, the most of any encoder we know. 24 leaves room above that
    // and keeps the worst file within a few decodes of a normal photo.
    constexpr int kMaxScans = 24;

    // Colours of an 8-bit image; the rest of the 256-entry table stays free.
    constexpr int kQuantizedColors = 236;

    // The steps below run under the decompressor's error handler: they hold
    // only plain values while they call libjpeg (see JpegDecompressor::Step).

    struct HeaderStep {
        int display_depth;
        int bits; // set by the step: the depth a decode will produce
        std::uint64_t image_bytes; // set by the step: what a decode holds of its own
    };

    bool IsFourComponent(j_decompress_ptr cinfo)
    {
        return cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    }

    // Reads the header, picks the depth (greyscale photos and low-colour
    // displays give 8 bits) and refuses sizes the program will not hold.
    void ReadHeader(j_decompress_ptr cinfo, void* context)
    {
        auto* header = static_cast<HeaderStep*>(context);
        jpeg_read_header(cinfo, TRUE);
        const bool grey = cinfo->out_color_space == JCS_GRAYSCALE;
        header->bits = header->display_depth <= 8 || grey ? 8 : 24;
        std::uint64_t bytes
            = DecodedImage::StrideFor(static_cast<int>(cinfo->image_width), grey ? 8 : 24);
        bytes *= cinfo->image_height;
        if (bytes > kMaxDecodedBytes)
            ERREXIT(cinfo, JERR_IMAGE_TOO_BIG);
        // The decoded image, its row table and a CMYK row.
        header->image_bytes
            = DecodedImage::StrideFor(static_cast<int>(cinfo->image_width), header->bits)
                * std::uint64_t { cinfo->image_height }
            + std::uint64_t { cinfo->image_height } * sizeof(JSAMPROW)
            + std::uint64_t { cinfo->image_width } * 4;
    }

    // Header, decoding parameters, and the start of decompression (which for
    // two-pass quantization also runs the quantizer's pass over the image).
    void StartDecompress(j_decompress_ptr cinfo, void* context)
    {
        ReadHeader(cinfo, context);
        const int bits = static_cast<HeaderStep*>(context)->bits;
        cinfo->scale_num = 1;
        cinfo->scale_denom = 1;
        cinfo->do_block_smoothing = TRUE;
        cinfo->dct_method = JDCT_ISLOW;
        cinfo->do_fancy_upsampling = TRUE;
        cinfo->buffered_image = FALSE;
        // Four-component files come out as (Adobe-inverted) CMYK and are
        // turned into RGB here; everything that is not greyscale is asked for
        // as three components, which libjpeg refuses for colour spaces it
        // cannot convert. BGR at 24 bits is the stored byte order already.
        if (IsFourComponent(cinfo))
            cinfo->out_color_space = JCS_CMYK;
        else if (cinfo->out_color_space != JCS_GRAYSCALE)
            cinfo->out_color_space = bits == 24 ? JCS_EXT_BGR : JCS_RGB;
        // libjpeg quantizes one-pass where the output does not have three
        // components (greyscale, CMYK), whatever two_pass_quantize says.
        if (bits == 8) {
            cinfo->quantize_colors = TRUE;
            cinfo->desired_number_of_colors = kQuantizedColors;
            cinfo->two_pass_quantize = TRUE;
            cinfo->dither_mode = JDITHER_FS;
        }
        cinfo->mem->max_memory_to_use
            = static_cast<long>(kMaxDecodeBytes - static_cast<HeaderStep*>(context)->image_bytes);
        jpeg_start_decompress(cinfo);
        // Rows are written into the image at the width worked out for these
        // bytes per pixel; anything else would run past a row.
        const int expected = bits == 8 ? 1 : IsFourComponent(cinfo) ? 4 : 3;
        if (cinfo->output_components != expected
            || (bits == 8 && (cinfo->colormap == nullptr || cinfo->actual_number_of_colors > 256)))
            ERREXIT(cinfo, JERR_CONVERSION_NOTIMPL);
    }

    // Adobe CMYK is stored inverted (0 = full ink), so each channel is the
    // product of its inverted ink and the inverted black, rounded.
    inline JSAMPLE InkTimesBlack(unsigned ink, unsigned black)
    {
        return static_cast<JSAMPLE>((ink * black + 127) / 255);
    }

    void CmykToBgr(const JSAMPLE* cmyk, JSAMPLE* bgr, JDIMENSION width)
    {
        for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
            bgr[0] = InkTimesBlack(cmyk[2], cmyk[3]);
            bgr[1] = InkTimesBlack(cmyk[1], cmyk[3]);
            bgr[2] = InkTimesBlack(cmyk[0], cmyk[3]);
        }
    }

    struct RowsStep {
        JSAMPROW* rows; // picture row y -> its stored (bottom-up) row
        JSAMPROW cmyk_row; // set for CMYK at 24 bits: rows are converted
    };

    // Reads every row straight into its stored position; CMYK rows go
    // through one row of their own first.
    void ReadRows(j_decompress_ptr cinfo, void* context)
    {
        auto* step = static_cast<RowsStep*>(context);
        while (cinfo->output_scanline < cinfo->output_height) {
            JDIMENSION y = cinfo->output_scanline;
            if (step->cmyk_row != nullptr) {
                if (jpeg_read_scanlines(cinfo, &step->cmyk_row, 1) != 1)
                    return;
                CmykToBgr(step->cmyk_row, step->rows[y], cinfo->output_width);
            } else if (jpeg_read_scanlines(cinfo, step->rows + y, cinfo->output_height - y) == 0) {
                return;
            }
        }
    }

    void FinishDecompress(j_decompress_ptr cinfo, void*) { jpeg_finish_decompress(cinfo); }

    // Entry i of the table gets colour i of the decoder's colour map.
    void FillColourTable(j_decompress_ptr cinfo, DecodedImage& image)
    {
        const JSAMPARRAY map = cinfo->colormap;
        const int n = cinfo->actual_number_of_colors;
        for (int i = 0; i < n; ++i) {
            JSAMPLE bgr[3];
            switch (cinfo->out_color_components) {
            case 1:
                bgr[0] = bgr[1] = bgr[2] = map[0][i];
                break;
            case 4: {
                const JSAMPLE cmyk[4] = { map[0][i], map[1][i], map[2][i], map[3][i] };
                CmykToBgr(cmyk, bgr, 1);
                break;
            }
            default:
                bgr[0] = map[2][i];
                bgr[1] = map[1][i];
                bgr[2] = map[0][i];
                break;
            }
            std::uint8_t* entry = image.palette.data() + 4 * i;
            entry[0] = bgr[0];
            entry[1] = bgr[1];
            entry[2] = bgr[2];
            entry[3] = 0;
        }
        image.colors = n;
    }

} // namespace

JpegPicture JpegPicture::Load(const std::string& path, int display_depth)
{
    std::vector<unsigned char> data;
    try {
        data = File::ReadAll(path);
    } catch (const IoError&) {
        throw Error("Cannot open file " + path);
    }
    return FromBytes(std::move(data), display_depth);
}

JpegPicture JpegPicture::FromBytes(std::vector<unsigned char> data, int display_depth)
{
    JpegPicture picture;
    picture.data_ = std::move(data);
    picture.display_depth_ = display_depth;
    // An empty file is not examined here; its first decode fails.
    if (!picture.data_.empty()) {
        JpegDecompressor decompressor(picture.data_.data(), picture.data_.size());
        HeaderStep header { display_depth, 0, 0 };
        decompressor.Run(ReadHeader, &header);
        picture.width_ = static_cast<int>(decompressor->image_width);
        picture.height_ = static_cast<int>(decompressor->image_height);
    }
    return picture;
}

const DecodedImage& JpegPicture::Decode()
{
    if (decoded_)
        return *decoded_;
    // Attached before anything can fail: a failed decode keeps what it got
    // and is not tried again.
    decoded_ = std::make_unique<DecodedImage>();
    DecodedImage& image = *decoded_;

    JpegDecompressor decompressor(data_.data(), data_.size());
    decompressor.LimitScans(kMaxScans);
    HeaderStep header { display_depth_, 0, 0 };
    decompressor.Run(StartDecompress, &header);

    // Memory for the image, the row table and a CMYK row; running out is
    // reported as the library reports it.
    std::vector<JSAMPROW> rows;
    std::vector<JSAMPLE> cmyk_row;
    try {
        image.width = static_cast<int>(decompressor->output_width);
        image.height = static_cast<int>(decompressor->output_height);
        image.bits = header.bits;
        image.stride = DecodedImage::StrideFor(image.width, image.bits);
        image.pixels.assign(image.stride * static_cast<std::size_t>(image.height), 0);
        rows.resize(static_cast<std::size_t>(image.height));
        if (image.bits == 24 && decompressor->output_components == 4)
            cmyk_row.resize(static_cast<std::size_t>(image.width) * 4);
    } catch (const std::bad_alloc&) {
        image = DecodedImage {};
        JpegDecompressor::Fail(JERR_OUT_OF_MEMORY);
    }
    if (image.bits == 8)
        FillColourTable(decompressor.get(), image);
    for (int y = 0; y < image.height; ++y)
        rows[static_cast<std::size_t>(y)] = image.Row(y);
    RowsStep step { rows.data(), cmyk_row.empty() ? nullptr : cmyk_row.data() };
    decompressor.Run(ReadRows, &step);
    decompressor.Run(FinishDecompress, nullptr);
    return image;
}

} // namespace tarvenia
