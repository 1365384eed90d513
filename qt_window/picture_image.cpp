#include "qt_window/picture_image.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "qt_window/bitmap_image.h"

namespace velmora {

PictureImage::PictureImage(QWidget* parent) : QWidget(parent) {
    display_.setReports({.shown = [this] { emit painted(); },
                         .failed = [this](const std::string& message) { emit decodeFailed(message); },
                         .later = [this](std::function<void()> task) { QTimer::singleShot(0, this, std::move(task)); }});
}

void PictureImage::setPicture(const JpegPicture& picture, std::optional<std::string> decoderError) {
    // It may point into the old picture's bitmap, which stays on screen while the new
    // picture is still being made ahead: a display bitmap is kept alive under it (it
    // never changes), anything else is copied (once, however often the picture is set).
    if (!flags_.proportional) {
        image_ = QImage();
        imageBitmap_.reset();
    } else if (!imageOwned_) {
        std::shared_ptr<const Bitmap> shown = display_.picture().sharedDisplayBitmap();
        if (shown && !shown->empty() && image_.constBits() == shown->bits()) {
            imageBitmap_ = std::move(shown);
        } else {
            image_ = image_.copy();
        }
    }
    imageOwned_ = true;
    display_.setPicture(picture, std::move(decoderError));
    update();
}

void PictureImage::clear() {
    image_ = QImage();
    imageBitmap_.reset();
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
    if (frame.pending) {
        if (!image_.isNull()) QPainter(this).drawImage(imageAt_, image_);
        return;
    }
    if (frame.changed) {
        image_ = frame.bitmap ? imageOver(*frame.bitmap) : QImage();
        imageBitmap_.reset();
        imageOwned_ = image_.isNull();
        // A display bitmap is made in device pixels: drawn as it is, tagged with the ratio.
        if (!image_.isNull() && flags_.proportional) image_.setDevicePixelRatio(target.pixelRatio);
    }
    if (!image_.isNull()) {
        QPainter painter(this);
        imageAt_ = QPoint(frame.rect.left, frame.rect.top);
        painter.drawImage(imageAt_, image_);
    }
    display_.paintDone();
}

bool PictureImage::onPicture(const QMouseEvent* event) const {
    return event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
}

void PictureImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    click_.press(onPicture(event));
    event->accept();
}

void PictureImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && click_.release(onPicture(event))) emit clicked();
}

}  // namespace velmora
