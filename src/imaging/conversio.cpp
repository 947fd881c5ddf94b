#include "imaging/bmp.h"
#include "imaging/jpeg_picture.h"

namespace tarvenia {

// The bitmap is created only after the decode succeeded, so a photo that
// cannot be decoded leaves the previous wallpaper bitmap as it was.
void conversio(const std::string& photo_path, const std::string& bitmap_path, int display_depth)
{
    JpegPicture picture = JpegPicture::Load(photo_path, display_depth);
    WriteBmp(picture.Decode(), bitmap_path);
}

} // namespace tarvenia
