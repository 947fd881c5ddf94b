#include "window/qt/image_box.h"

#include <QPainter>
#include <QTimer>

#include <exception>

namespace tarvenia::qt {

ImageBox::ImageBox(int display_depth, QWidget* parent)
    : QWidget(parent)
    , display_depth_(display_depth)
{
}

void ImageBox::Load(const std::string& path)
{
    auto picture = std::make_unique<JpegPicture>(JpegPicture::Load(path, display_depth_));
    picture_ = std::move(picture);
    stretched_ = QImage();
    update();
}

void ImageBox::SetDecodeErrorHandler(std::function<void(const std::string&)> handler)
{
    on_decode_error_ = std::move(handler);
}

QImage ImageBox::Stretch(const DecodedImage& image, int width, int height)
{
    if (image.width <= 0 || image.height <= 0 || width <= 0 || height <= 0
        || image.pixels.size() < image.stride * static_cast<std::size_t>(image.height))
        return {};
    QImage out(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * image.height / height);
        const std::uint8_t* row = image.Row(sy);
        auto* dest = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x) * image.width / width);
            const std::uint8_t* bgr = image.bits == 8 ? &image.palette[row[sx] * 4u] : row + sx * 3;
            dest[x] = qRgb(bgr[2], bgr[1], bgr[0]);
        }
    }
    return out;
}

void ImageBox::DecodeNow()
{
    std::unique_ptr<JpegPicture> picture = std::move(picture_);
    std::string failure;
    try {
        picture->Decode();
    } catch (const std::exception& e) {
        failure = e.what();
    }
    try {
        // After a failure this is the image as far as the decoder got. It is
        // sampled at the screen's own resolution and drawn 1:1: on a scaled
        // screen a logical-size copy would be enlarged, and blurred, again.
        const qreal ratio = devicePixelRatioF();
        stretched_ = Stretch(picture->Decode(), qRound(width() * ratio), qRound(height() * ratio));
        stretched_.setDevicePixelRatio(ratio);
    } catch (const std::exception&) {
        stretched_ = QImage();
    }
    if (!failure.empty() && on_decode_error_) {
        // The error box is modal: it must not open inside the paint.
        QTimer::singleShot(0, this, [this, failure] {
            if (on_decode_error_)
                on_decode_error_(failure);
        });
    }
}

void ImageBox::paintEvent(QPaintEvent*)
{
    if (picture_)
        DecodeNow();
    if (stretched_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, stretched_);
}

} // namespace tarvenia::qt
