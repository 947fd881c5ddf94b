// One libjpeg decompression object over bytes held in memory, with the
// program's error handler and data source, destroyed with this object on
// every path.
//
// libjpeg is C: its fatal-error exit cannot throw through it. The exit
// longjmps back into Run(), which calls each step from a frame that holds no
// C++ object, and the failure becomes a C++ exception only after that.
#pragma once

// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>

#include <memory>

namespace tarvenia {

class JpegDecompressor {
public:
    // A step run under the error handler. It may call any libjpeg function
    // but must not hold an object with a destructor while it does: a fatal
    // error leaves it by longjmp.
    using Step = void (*)(j_decompress_ptr cinfo, void* context);

    // `data` must outlive this object. Throws Error "JPEG error #%d" when the
    // library cannot create the object.
    JpegDecompressor(const unsigned char* data, std::size_t size);
    ~JpegDecompressor();
    JpegDecompressor(const JpegDecompressor&) = delete;
    JpegDecompressor& operator=(const JpegDecompressor&) = delete;

    // Runs `step`; throws Error "JPEG error #%d" (the library's msg_code)
    // when a fatal error ended it.
    void Run(Step step, void* context);

    // Ends the decode with JERR_BAD_PROGRESSION once the input reaches scan
    // `max_scans` + 1: every scan walks every block of its components, so
    // the scan count, not the file size, decides how long a decode takes.
    void LimitScans(int max_scans);

    j_decompress_ptr get() noexcept;
    j_decompress_ptr operator->() noexcept { return get(); }

    // The text of a fatal libjpeg error with this message code.
    [[noreturn]] static void Fail(int msg_code);

private:
    struct State;
    std::unique_ptr<State> state_;
    bool created_ = false;
};

} // namespace tarvenia
