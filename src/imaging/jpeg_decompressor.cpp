#include "imaging/jpeg_decompressor.h"

#include "base/error.h"

#include <csetjmp>
#include <jerror.h>
#include <string>

namespace tarvenia {

// Everything libjpeg points at, in one block whose address never changes,
// and the callbacks that find it again through client_data. Plain data only:
// nothing here needs a destructor.
struct JpegDecompressor::State {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    jpeg_source_mgr src;
    jpeg_progress_mgr progress;
    int max_scans; // 0: no limit
    std::jmp_buf jump;
    const unsigned char* data;
    std::size_t size;
    bool handed_over; // the source gave the decoder its bytes already

    static State* Of(j_common_ptr cinfo) { return static_cast<State*>(cinfo->client_data); }
    static State* Of(j_decompress_ptr cinfo) { return static_cast<State*>(cinfo->client_data); }

    // --- error handler ---

    // Fatal errors go back to Guarded(); the message code stays in err.
    static void ExitByJump(j_common_ptr cinfo) { std::longjmp(Of(cinfo)->jump, 1); }

    // Warnings and trace messages are ignored: a file cut short or slightly
    // damaged still gives a picture.
    static void IgnoreMessage(j_common_ptr) { }
    static void IgnoreEmit(j_common_ptr, int) { }

    // --- progress monitor ---

    // libjpeg calls it at least once per row of blocks of every input pass,
    // so a scan beyond the limit ends the decode right at its start.
    static void CheckScans(j_common_ptr cinfo)
    {
        if (!cinfo->is_decompressor)
            return;
        auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        State* s = Of(d);
        if (s->max_scans > 0 && d->input_scan_number > s->max_scans)
            ERREXIT4(cinfo, JERR_BAD_PROGRESSION, d->Ss, d->Se, d->Ah, d->Al);
    }

    // --- data source over the bytes in memory ---

    static void InitSource(j_decompress_ptr) { }
    static void TermSource(j_decompress_ptr) { }

    // Called only when the decoder wants more than it was given: the first
    // time it hands over all bytes; afterwards the data have ended early, so
    // it supplies an end-of-image marker, as often as asked.
    static boolean FillInputBuffer(j_decompress_ptr cinfo)
    {
        static const JOCTET end_of_image[2] = { 0xFF, JPEG_EOI };
        State* s = Of(cinfo);
        if (!s->handed_over && s->size > 0) {
            s->handed_over = true;
            s->src.next_input_byte = s->data;
            s->src.bytes_in_buffer = s->size;
            return TRUE;
        }
        if (!s->handed_over)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        s->src.next_input_byte = end_of_image;
        s->src.bytes_in_buffer = sizeof end_of_image;
        return TRUE;
    }

    // Skipping past the end leaves nothing buffered, so the next read gets
    // the end-of-image marker (rather than one refill per two skipped bytes).
    static void SkipInputData(j_decompress_ptr cinfo, long num_bytes)
    {
        if (num_bytes <= 0)
            return;
        State* s = Of(cinfo);
        if (s->src.bytes_in_buffer == 0)
            FillInputBuffer(cinfo);
        std::size_t n = static_cast<unsigned long>(num_bytes);
        if (n > s->src.bytes_in_buffer)
            n = s->src.bytes_in_buffer;
        s->src.next_input_byte += n;
        s->src.bytes_in_buffer -= n;
    }

    // The only place that sets the jump target. No C++ object lives in this
    // frame, so leaving the step by longjmp skips no destructor.
    static bool Guarded(State* s, Step step, void* context) noexcept
    {
        if (setjmp(s->jump) != 0)
            return false;
        step(&s->cinfo, context);
        return true;
    }

    static void CreateStep(j_decompress_ptr cinfo, void*) { jpeg_create_decompress(cinfo); }
};

JpegDecompressor::JpegDecompressor(const unsigned char* data, std::size_t size)
    : state_(new State {})
{
    State* s = state_.get();
    s->data = data;
    s->size = size;
    s->cinfo.err = jpeg_std_error(&s->err);
    s->err.error_exit = State::ExitByJump;
    s->err.output_message = State::IgnoreMessage;
    s->err.emit_message = State::IgnoreEmit;
    // Kept by jpeg_create_decompress; the callbacks find the state by it.
    s->cinfo.client_data = s;
    if (!State::Guarded(s, State::CreateStep, nullptr))
        Fail(s->err.msg_code);
    created_ = true;

    s->src.init_source = State::InitSource;
    s->src.fill_input_buffer = State::FillInputBuffer;
    s->src.skip_input_data = State::SkipInputData;
    s->src.resync_to_restart = jpeg_resync_to_restart;
    s->src.term_source = State::TermSource;
    s->src.next_input_byte = nullptr;
    s->src.bytes_in_buffer = 0;
    s->cinfo.src = &s->src;
}

JpegDecompressor::~JpegDecompressor()
{
    if (created_)
        jpeg_destroy_decompress(&state_->cinfo);
}

void JpegDecompressor::LimitScans(int max_scans)
{
    State* s = state_.get();
    s->max_scans = max_scans;
    s->progress.progress_monitor = State::CheckScans;
    s->cinfo.progress = &s->progress;
}

void JpegDecompressor::Run(Step step, void* context)
{
    if (!State::Guarded(state_.get(), step, context))
        Fail(state_->err.msg_code);
}

j_decompress_ptr JpegDecompressor::get() noexcept { return &state_->cinfo; }

void JpegDecompressor::Fail(int msg_code)
{
    throw Error("JPEG error #" + std::to_string(msg_code));
}

} // namespace tarvenia
