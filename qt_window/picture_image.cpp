#include "qt_window/picture_image.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "qt_window/bitmap_image.h"
#include "base/error.h"
#include "store/picture/scale_nearest.h"

namespace velmora {

PictureImage::PictureImage(QWidget* parent) : QWidget(parent) {}

void PictureImage::setPicture(const JpegPicture& picture, std::optional<std::string> decoderError) {
    image_ = QImage();  // it may point into the old picture's bitmap
    scaled_ = Bitmap();
    picture_ = picture;
    hasPicture_ = !picture_.empty();
    pendingError_ = std::move(decoderError);
    imageValid_ = false;
    if (autoSize_ && picture_.width() > 0 && picture_.height() > 0) resize(picture_.width(), picture_.height());
    update();
}

void PictureImage::clear() {
    picture_ = JpegPicture();
    hasPicture_ = false;
    pendingError_.reset();
    imageValid_ = false;
    scaled_ = Bitmap();
    image_ = QImage();
    update();
}

DisplayTarget PictureImage::displayTarget() const {
    return DisplayTarget{width(), height(), flags_, devicePixelRatioF()};
}

FitRect PictureImage::drawRect() const {
    if (!hasPicture_) return {};
    return displayTarget().fit(picture_.width(), picture_.height());
}

const Bitmap* PictureImage::bitmapFor(const FitRect& rect, double pixelRatio) {
    const DisplayTarget target{width(), height(), flags_, pixelRatio};
    if (drawsDisplayBitmaps() && aheadSource_ && !picture_.hasDisplayBitmap()) {
        std::optional<PreloadedPicture> ahead = aheadSource_();
        if (ahead && (!ahead->display.empty() || ahead->error)) {
            picture_.adoptDisplayBitmap(std::move(ahead->display), ahead->error.has_value());
            if (ahead->error && !pendingError_) pendingError_ = std::move(ahead->error);
        }
    }
    auto decode = [&]() -> const Bitmap& {
        if (drawsDisplayBitmaps()) return picture_.displayBitmap(target.device(rect.width), target.device(rect.height));
        return picture_.bitmap();
    };
    try {
        return &decode();
    } catch (const std::exception& error) {
        // Reported once, after this paint; the object keeps what was decoded.
        pendingError_ = error.what();
        try {
            return &decode();
        } catch (const std::exception&) {
            return nullptr;
        }
    }
}

void PictureImage::prepareImage(const FitRect& rect) {
    imageValid_ = true;
    imageRect_ = rect;
    imageRatio_ = devicePixelRatioF();
    image_ = QImage();
    scaled_ = Bitmap();
    if (rect.width <= 0 || rect.height <= 0) return;
    const Bitmap* bitmap = bitmapFor(rect, imageRatio_);
    if (!bitmap || bitmap->empty()) return;
    if (drawsDisplayBitmaps()) {
        // Made for the rectangle in device pixels: drawn as it is, tagged with the ratio.
        image_ = imageOver(*bitmap);
        image_.setDevicePixelRatio(imageRatio_);
    } else if (rect.width == bitmap->width() && rect.height == bitmap->height()) {
        image_ = imageOver(*bitmap);  // drawn 1:1 straight from the picture
    } else {
        scaled_ = scaleNearest(*bitmap, rect.width, rect.height);
        image_ = imageOver(scaled_);
    }
}

void PictureImage::paintEvent(QPaintEvent*) {
    if (!hasPicture_) return;
    FitRect rect = drawRect();
    if (!imageValid_ || !(rect == imageRect_) || imageRatio_ != devicePixelRatioF()) prepareImage(rect);
    if (!image_.isNull()) {
        QPainter painter(this);
        painter.drawImage(QPoint(imageRect_.left, imageRect_.top), image_);
    }
    if (pendingError_) {
        QTimer::singleShot(0, this, [this, message = *pendingError_] { emit decodeFailed(message); });
        pendingError_.reset();
    }
    emit painted();
}

void PictureImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

}  // namespace velmora
