#pragma once
// The viewer's picture: drawn one picture pixel per device pixel from the bitmap the
// core decoded. A press-and-release on it is a click (clicked()); a press that moves
// the pointer on a scrolling viewer drags the picture (dragged()) instead.

#include <QImage>
#include <QWidget>

#include "browser/picture_click.h"
#include "browser/viewer_place.h"
#include "store/picture/jpeg_picture.h"

namespace velmora {

class ViewerPicture : public QWidget {
    Q_OBJECT

public:
    ViewerPicture(const JpegPicture& picture, double pixelRatio, QWidget* parent);
    void setScrolls(bool scrolls) { scrolls_ = scrolls; }

signals:
    void clicked();
    // The view should move by this many logical pixels.
    void dragged(int across, int down);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    JpegPicture picture_;  // owns the bitmap image_ reads
    QImage image_;
    PictureClick click_;
    ViewerDrag drag_;
    bool scrolls_ = false;
};

}  // namespace velmora
