#include "qt_window/picture_image.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "qt_window/bitmap_image.h"

namespace velmora {

PictureImage::PictureImage(QWidget* parent) : QWidget(parent) {}

void PictureImage::setPicture(const JpegPicture& picture, std::optional<std::string> decoderError) {
    image_ = QImage();  // it may point into the old picture's bitmap
    display_.setPicture(picture, std::move(decoderError));
    JpegPicture& shown = display_.picture();
    if (autoSize_ && shown.width() > 0 && shown.height() > 0) resize(shown.width(), shown.height());
    update();
}

void PictureImage::clear() {
    image_ = QImage();
    display_.clear();
    update();
}

DisplayTarget PictureImage::displayTarget() const {
    return DisplayTarget{width(), height(), flags_, devicePixelRatioF()};
}

void PictureImage::paintEvent(QPaintEvent*) {
    if (!display_.hasPicture()) return;
    const DisplayTarget target = displayTarget();
    const PictureDisplay::Frame frame = display_.frame(target);
    if (frame.changed) {
        image_ = frame.bitmap ? imageOver(*frame.bitmap) : QImage();
        // A display bitmap is made in device pixels: drawn as it is, tagged with the ratio.
        if (!image_.isNull() && flags_.proportional) image_.setDevicePixelRatio(target.pixelRatio);
    }
    if (!image_.isNull()) {
        QPainter painter(this);
        painter.drawImage(QPoint(frame.rect.left, frame.rect.top), image_);
    }
    if (std::optional<std::string> error = display_.takeError()) {
        QTimer::singleShot(0, this, [this, message = *error] { emit decodeFailed(message); });
    }
    emit painted();
}

void PictureImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

}  // namespace velmora
