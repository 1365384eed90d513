#include "browser/picture_image.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "browser/message_boxes.h"
#include "base/error.h"
#include "store/picture/scale_nearest.h"

namespace velmora {

namespace {

// A QImage over the bitmap's own rows; the bitmap must outlive it.
QImage imageOver(Bitmap& bitmap) {
    auto* bits = const_cast<uchar*>(bitmap.bits());
    if (bitmap.format() == Bitmap::Format::Bgr24) {
        return QImage(bits, bitmap.width(), bitmap.height(), static_cast<qsizetype>(bitmap.bytesPerLine()),
                      QImage::Format_BGR888);
    }
    QImage image(bits, bitmap.width(), bitmap.height(), static_cast<qsizetype>(bitmap.bytesPerLine()),
                 QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (const auto& entry : bitmap.palette()) colours.append(qRgb(entry.red, entry.green, entry.blue));
    while (colours.size() < 256) colours.append(qRgb(0, 0, 0));
    image.setColorTable(colours);
    return image;
}

}  // namespace

PictureImage::PictureImage(QWidget* parent) : QWidget(parent) {}

void PictureImage::setPicture(const JpegPicture& picture) {
    image_ = QImage();  // it may point into the old picture's bitmap
    scaled_ = Bitmap();
    picture_ = picture;
    hasPicture_ = !picture_.empty();
    imageValid_ = false;
    if (autoSize_ && picture_.width() > 0 && picture_.height() > 0) resize(picture_.width(), picture_.height());
    update();
}

void PictureImage::clear() {
    picture_ = JpegPicture();
    hasPicture_ = false;
    imageValid_ = false;
    scaled_ = Bitmap();
    image_ = QImage();
    update();
}

FitRect PictureImage::drawRect() const {
    if (!hasPicture_) return {};
    auto& picture = const_cast<JpegPicture&>(picture_);
    return displayFit(picture.width(), picture.height(), width(), height(), flags_);
}

void PictureImage::prepareImage(const FitRect& rect) {
    imageValid_ = true;
    imageRect_ = rect;
    image_ = QImage();
    scaled_ = Bitmap();
    const Bitmap* bitmap = nullptr;
    try {
        bitmap = &picture_.bitmap();
    } catch (const std::exception& error) {
        // Reported once, after this paint; the object keeps what was decoded.
        std::string message = error.what();
        QTimer::singleShot(0, [message] { showError(message); });
        try {
            bitmap = &picture_.bitmap();
        } catch (const std::exception&) {
            return;
        }
    }
    if (!bitmap || bitmap->empty() || rect.width <= 0 || rect.height <= 0) return;
    if (rect.width == bitmap->width() && rect.height == bitmap->height()) {
        image_ = imageOver(const_cast<Bitmap&>(*bitmap));  // drawn 1:1 straight from the picture
    } else {
        scaled_ = scaleNearest(*bitmap, rect.width, rect.height);
        image_ = imageOver(scaled_);
    }
}

void PictureImage::paintEvent(QPaintEvent*) {
    if (!hasPicture_) return;
    FitRect rect = drawRect();
    if (!imageValid_ || !(rect == imageRect_)) prepareImage(rect);
    if (image_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(QPoint(imageRect_.left, imageRect_.top), image_);
}

void PictureImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

}  // namespace velmora
