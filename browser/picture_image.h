#pragma once
// A picture display area (the windows' `pictureView`): holds its own copy of a picture
// object and draws it with the display fit, by nearest neighbour. The picture is
// decoded at its first draw; a decoder error is reported once, after the paint.

#include <QImage>
#include <QWidget>

#include "store/picture/bitmap.h"
#include "store/picture/display_fit.h"
#include "store/picture/jpeg_picture.h"

namespace velmora {

class PictureImage : public QWidget {
    Q_OBJECT

public:
    explicit PictureImage(QWidget* parent = nullptr);

    // Display flags: the main window draws proportional and centred; the viewer
    // centred and sized to its picture.
    void setFitFlags(FitFlags flags) { flags_ = flags; }
    void setAutoSize(bool autoSize) { autoSize_ = autoSize; }

    // Shows a copy of picture (sharing its JPEG data).
    void setPicture(const JpegPicture& picture);
    void clear();
    bool hasPicture() const { return hasPicture_; }
    // The displayed picture object (empty when cleared).
    JpegPicture& picture() { return picture_; }

    // Where the current picture is drawn inside this widget.
    FitRect drawRect() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void prepareImage(const FitRect& rect);

    JpegPicture picture_;
    bool hasPicture_ = false;
    bool autoSize_ = false;
    FitFlags flags_;
    // What was last drawn, kept so repaints neither decode nor scale again.
    Bitmap scaled_;
    QImage image_;
    FitRect imageRect_;
    bool imageValid_ = false;
};

}  // namespace velmora
