#include "window/win32/preview_image.h"

#include <cstring>
#include <exception>
#include <vector>

namespace tarvenia::win32 {

PreviewImage::PreviewImage(RECT bounds, int display_depth)
    : bounds_(bounds)
    , display_depth_(display_depth)
{
}

void PreviewImage::Load(const std::string& path)
{
    auto picture = std::make_unique<JpegPicture>(JpegPicture::Load(path, display_depth_));
    picture_ = std::move(picture);
}

int PreviewImage::StretchModeFor(int display_depth, int picture_bits)
{
    return display_depth <= 8 && picture_bits > display_depth ? HALFTONE : COLORONCOLOR;
}

std::optional<std::string> PreviewImage::TakeFailure()
{
    auto failure = std::move(failure_);
    failure_.reset();
    return failure;
}

void PreviewImage::Paint(HDC dc)
{
    if (!picture_)
        return;
    const DecodedImage* image = nullptr;
    if (!picture_->IsDecoded()) {
        try {
            image = &picture_->Decode();
        } catch (const std::exception& e) {
            failure_ = e.what();
        } catch (...) {
            failure_ = "Out of memory";
        }
    }
    if (!image && picture_->IsDecoded()) {
        try {
            image = &picture_->Decode(); // the kept image; no second decode
        } catch (...) {
        }
    }
    if (!image || image->width <= 0 || image->height <= 0
        || image->pixels.size() < image->stride * static_cast<std::size_t>(image->height))
        return;

    // The header with room for a full colour table at 8 bits.
    std::vector<unsigned char> info_bytes(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(info_bytes.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = image->width;
    info->bmiHeader.biHeight = image->height; // rows bottom-up
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(image->bits);
    info->bmiHeader.biCompression = BI_RGB;
    if (image->bits == 8) {
        info->bmiHeader.biClrUsed = 256;
        std::memcpy(info->bmiColors, image->palette.data(), image->palette.size());
    }

    const int mode = StretchModeFor(display_depth_, image->bits);
    const int old_mode = ::SetStretchBltMode(dc, mode);
    POINT old_origin {};
    if (mode == HALFTONE)
        ::SetBrushOrgEx(dc, 0, 0, &old_origin);
    ::StretchDIBits(dc, bounds_.left, bounds_.top, bounds_.right - bounds_.left,
        bounds_.bottom - bounds_.top, 0, 0, image->width, image->height, image->pixels.data(), info,
        DIB_RGB_COLORS, SRCCOPY);
    if (mode == HALFTONE)
        ::SetBrushOrgEx(dc, old_origin.x, old_origin.y, nullptr);
    ::SetStretchBltMode(dc, old_mode);
}

} // namespace tarvenia::win32
