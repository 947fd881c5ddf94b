// The pictures this program draws itself: the two 16 × 16 glyphs of
// ImageList1 (transparent where their mask says so) and the window icon.
#pragma once

#include <QPixmap>

namespace tarvenia::qt {

// Image 0: a closed file folder (add to the favourites). Image 1: a waste
// bin (remove from them). Any other index gives a null pixmap.
QPixmap ImageList1(int index);

// 32 × 32, 16 colours: a framed landscape.
QPixmap WindowIcon();

// A picture drawn pixel by pixel, enlarged for a screen of that device pixel
// ratio by repeating pixels: smoothing would blur its one-pixel outlines. The
// result carries the ratio, so it is drawn at the picture's logical size.
QPixmap Sharp(const QPixmap& picture, qreal device_pixel_ratio);

} // namespace tarvenia::qt
