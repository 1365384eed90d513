#include "qt_window/viewer_picture.h"

#include <cmath>

#include <QMouseEvent>
#include <QPainter>

#include "qt_window/bitmap_image.h"

namespace velmora {

ViewerPicture::ViewerPicture(const JpegPicture& picture, double pixelRatio, QWidget* parent)
    : QWidget(parent), picture_(picture) {
    if (!picture_.empty()) {
        image_ = imageOver(picture_.bitmap());
        image_.setDevicePixelRatio(pixelRatio);  // one picture pixel per device pixel
    }
    setFixedSize(static_cast<int>(std::ceil(image_.width() / pixelRatio)),
                 static_cast<int>(std::ceil(image_.height() / pixelRatio)));
}

void ViewerPicture::paintEvent(QPaintEvent*) {
    if (image_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), image_);
}

void ViewerPicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    click_.press(true);
    const QPoint at = event->globalPosition().toPoint();
    drag_.press(at.x(), at.y(), scrolls_);
    event->accept();
}

void ViewerPicture::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->globalPosition().toPoint();
    const ViewerDrag::Move move = drag_.move(at.x(), at.y());
    if (move.across || move.down) emit dragged(move.across, move.down);
}

void ViewerPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    drag_.release();
    const bool click = click_.release(rect().contains(event->position().toPoint()));
    if (click && !drag_.dragged()) emit clicked();
}

}  // namespace velmora
