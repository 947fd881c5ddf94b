#include "jpeg_encoder/jpeg_encoder.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
// clang-format off
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

namespace tarvenia {

namespace {

    // Everything libjpeg points at, in one block whose address never
    // changes. Plain data only: a fatal error leaves libjpeg by longjmp, and
    // the output buffer is released by the owner, not by a destructor here.
    struct Compression {
        jpeg_compress_struct cinfo;
        jpeg_error_mgr err;
        jpeg_destination_mgr dest;
        std::jmp_buf jump;
        JOCTET* bytes; // malloc'd output, grown by doubling
        std::size_t capacity;

        static Compression* Of(j_common_ptr cinfo)
        {
            return static_cast<Compression*>(cinfo->client_data);
        }
        static Compression* Of(j_compress_ptr cinfo)
        {
            return static_cast<Compression*>(cinfo->client_data);
        }

        static void ExitByJump(j_common_ptr cinfo) { std::longjmp(Of(cinfo)->jump, 1); }
        static void IgnoreMessage(j_common_ptr) { }

        // --- destination: the whole file in memory ---

        static void Grow(j_compress_ptr cinfo, std::size_t capacity)
        {
            Compression* c = Of(cinfo);
            const std::size_t used = c->capacity - c->dest.free_in_buffer;
            auto* grown = static_cast<JOCTET*>(std::realloc(c->bytes, capacity));
            if (!grown)
                ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
            c->bytes = grown;
            c->capacity = capacity;
            c->dest.next_output_byte = grown + used;
            c->dest.free_in_buffer = capacity - used;
        }
        static void InitDestination(j_compress_ptr cinfo) { Grow(cinfo, 64 * 1024); }
        // Called when the buffer is full.
        static boolean EmptyOutputBuffer(j_compress_ptr cinfo)
        {
            Grow(cinfo, Of(cinfo)->capacity * 2);
            return TRUE;
        }
        static void TermDestination(j_compress_ptr) { }
    };

    using Step = void (*)(j_compress_ptr cinfo, const void* context);

    // The only place that sets the jump target. No C++ object lives in this
    // frame, so leaving the step by longjmp skips no destructor.
    bool Guarded(Compression* c, Step step, const void* context) noexcept
    {
        if (setjmp(c->jump) != 0)
            return false;
        step(&c->cinfo, context);
        return true;
    }

    // One compression object, destroyed with its output buffer on every path.
    class Compressor {
    public:
        Compressor()
            : c_(new Compression {})
        {
            c_->cinfo.err = jpeg_std_error(&c_->err);
            c_->err.error_exit = Compression::ExitByJump;
            c_->err.output_message = Compression::IgnoreMessage;
            // Kept by jpeg_create_compress; the callbacks find the state by it.
            c_->cinfo.client_data = c_.get();
            Run([](j_compress_ptr cinfo, const void*) { jpeg_create_compress(cinfo); });
            created_ = true;
            c_->dest.init_destination = Compression::InitDestination;
            c_->dest.empty_output_buffer = Compression::EmptyOutputBuffer;
            c_->dest.term_destination = Compression::TermDestination;
            c_->cinfo.dest = &c_->dest;
        }
        ~Compressor()
        {
            if (created_)
                jpeg_destroy_compress(&c_->cinfo);
            std::free(c_->bytes);
        }
        Compressor(const Compressor&) = delete;
        Compressor& operator=(const Compressor&) = delete;

        // Runs `step`; a fatal error of the library becomes an exception here.
        void Run(Step step, const void* context = nullptr)
        {
            if (Guarded(c_.get(), step, context))
                return;
            char message[JMSG_LENGTH_MAX] = {};
            (*c_->err.format_message)(reinterpret_cast<j_common_ptr>(&c_->cinfo), message);
            throw std::runtime_error(std::string("JPEG compression failed: ") + message);
        }

        j_compress_ptr get() { return &c_->cinfo; }

        std::vector<unsigned char> Output() const
        {
            const std::size_t size = c_->capacity - c_->dest.free_in_buffer;
            return std::vector<unsigned char>(c_->bytes, c_->bytes + size);
        }

    private:
        std::unique_ptr<Compression> c_;
        bool created_ = false;
    };

} // namespace

std::vector<unsigned char> EncodeJpeg(const JpegFormat& format, const JpegRows& rows)
{
    Compressor compressor;
    j_compress_ptr cinfo = compressor.get();
    cinfo->image_width = static_cast<JDIMENSION>(format.width);
    cinfo->image_height = static_cast<JDIMENSION>(format.height);
    cinfo->input_components = format.components;
    cinfo->in_color_space = format.components == 1 ? JCS_GRAYSCALE
        : format.components == 4                   ? JCS_CMYK
                                                   : JCS_RGB;
    compressor.Run(
        [](j_compress_ptr c, const void* context) {
            const auto& f = *static_cast<const JpegFormat*>(context);
            jpeg_set_defaults(c);
            jpeg_set_quality(c, f.quality, TRUE);
            c->optimize_coding = f.optimize_coding ? TRUE : FALSE;
            if (f.progressive)
                jpeg_simple_progression(c);
            jpeg_start_compress(c, TRUE);
        },
        &format);
    std::vector<unsigned char> row(static_cast<std::size_t>(format.width > 0 ? format.width : 0)
        * static_cast<std::size_t>(format.components));
    while (cinfo->next_scanline < cinfo->image_height) {
        rows(static_cast<int>(cinfo->next_scanline), row.data());
        JSAMPROW samples = row.data();
        compressor.Run(
            [](j_compress_ptr c, const void* context) {
                auto* line = const_cast<JSAMPROW*>(static_cast<const JSAMPROW*>(context));
                jpeg_write_scanlines(c, line, 1);
            },
            &samples);
    }
    compressor.Run([](j_compress_ptr c, const void*) { jpeg_finish_compress(c); });
    return compressor.Output();
}

} // namespace tarvenia
