// Image1: the photo preview. A loaded picture is decoded when it is first
// drawn, once, and shown stretched to the whole control by dropping or
// repeating rows and columns (no smoothing), in device pixels: a 160 × 120
// control on a screen scaled 2× shows a 320 × 240 sampling of the photo. A
// decode failure on that first draw is reported once, after the paint; later
// draws show what was decoded.
#pragma once

#include "imaging/jpeg_picture.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

namespace tarvenia::qt {

class ImageBox : public QWidget {
    Q_OBJECT
public:
    ImageBox(int display_depth, QWidget* parent);

    // Replaces the picture; throws the load's Error and then keeps the
    // previous one.
    void Load(const std::string& path);
    void SetDecodeErrorHandler(std::function<void(const std::string&)> handler);

    // The picture as drawn, once it has been drawn (null before), in device
    // pixels, with the screen's device pixel ratio.
    const QImage& Stretched() const { return stretched_; }
    bool HasPicture() const { return picture_ != nullptr || !stretched_.isNull(); }

    // Nearest-neighbour stretch of a decoded image to width × height.
    static QImage Stretch(const DecodedImage& image, int width, int height);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DecodeNow();

    int display_depth_;
    // Kept only until the first draw has made the stretched copy.
    std::unique_ptr<JpegPicture> picture_;
    QImage stretched_;
    std::function<void(const std::string&)> on_decode_error_;
};

} // namespace tarvenia::qt
