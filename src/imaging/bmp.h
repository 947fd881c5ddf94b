#pragma once

#include "imaging/decoded_image.h"

#include <string>

namespace tarvenia {

// Writes `image` as a Windows BMP file (BITMAPFILEHEADER, 40-byte
// BITMAPINFOHEADER, the colour table at 8 bits, the stored rows as they are).
// The file is created or emptied and shared with no one while written.
// Throws Error "Cannot create file %s" or "Stream write error".
void WriteBmp(const DecodedImage& image, const std::string& path);

// Converts the photo file into the wallpaper bitmap: load, decode, write.
// Failures carry the texts of JpegPicture::Load/Decode and WriteBmp; an
// existing bitmap is only touched once the decode has succeeded.
void conversio(const std::string& photo_path, const std::string& bitmap_path, int display_depth);

} // namespace tarvenia
