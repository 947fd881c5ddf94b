// Image1: the photo preview, drawn by the window itself (it has no window of
// its own) stretched over its whole area. The picture is decoded when it is
// first drawn; a decode failure is kept for the window to report once.
#pragma once

#include "imaging/jpeg_picture.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace tarvenia::win32 {

class PreviewImage {
public:
    PreviewImage(RECT bounds, int display_depth);

    // Loads the file as the new picture (Load's errors propagate; the
    // previous picture then stays).
    void Load(const std::string& path);
    bool HasPicture() const { return picture_ != nullptr; }
    // Decodes on the first draw of a picture, then stretches it over the
    // area. Never throws.
    void Paint(HDC dc);
    // The text of a decode failure not yet reported, once.
    std::optional<std::string> TakeFailure();

    // How the stretch is done for a picture of `picture_bits` on a display of
    // `display_depth`: halftoning only where a display of at most 8 bits
    // shows a deeper picture, otherwise rows and columns are dropped or
    // repeated.
    static int StretchModeFor(int display_depth, int picture_bits);

private:
    RECT bounds_;
    int display_depth_;
    std::unique_ptr<JpegPicture> picture_;
    std::optional<std::string> failure_;
};

} // namespace tarvenia::win32
