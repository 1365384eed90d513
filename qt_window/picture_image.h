#pragma once
// A picture display area (the windows' `pictureView`): holds its own copy of a picture
// object and draws it with the display fit, by nearest neighbour. A proportional area
// (the main window's) draws a display bitmap decoded for the fitted rectangle in device
// pixels; the others draw the full bitmap. The picture is decoded at its first draw; a
// decoder error is handed on once (decodeFailed), after the paint.

#include <functional>
#include <optional>
#include <string>

#include <QImage>
#include <QWidget>

#include "browser/display_target.h"
#include "browser/neighbour_preloader.h"
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

    // Shows a copy of picture (sharing its JPEG data). decoderError: an error found
    // while the picture was decoded ahead, reported once after its first paint.
    void setPicture(const JpegPicture& picture, std::optional<std::string> decoderError = std::nullopt);
    void clear();
    bool hasPicture() const { return hasPicture_; }
    // The displayed picture object (empty when cleared).
    JpegPicture& picture() { return picture_; }

    // Where the current picture is drawn inside this widget, in logical pixels.
    FitRect drawRect() const;
    // The area as it draws now: size, flags and device pixel ratio.
    DisplayTarget displayTarget() const;
    // True when this area draws display bitmaps rather than the full bitmap.
    bool drawsDisplayBitmaps() const { return flags_.proportional; }
    // Asked by a paint that needs a display bitmap the picture does not have: may give
    // one decoded ahead (with its decoder error) instead of a decode on this thread.
    void setAheadSource(std::function<std::optional<PreloadedPicture>()> source) { aheadSource_ = std::move(source); }

signals:
    void clicked();
    // A paint has put the picture on screen.
    void painted();
    // Decoding the picture failed (found now or ahead); sent once, after the paint.
    void decodeFailed(const std::string& message);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void prepareImage(const FitRect& rect);
    // The bitmap to draw for rect, from the display or the full path; decoder errors
    // are kept for the report after the paint.
    const Bitmap* bitmapFor(const FitRect& rect, double pixelRatio);

    JpegPicture picture_;
    bool hasPicture_ = false;
    bool autoSize_ = false;
    FitFlags flags_;
    std::optional<std::string> pendingError_;
    std::function<std::optional<PreloadedPicture>()> aheadSource_;
    // What was last drawn, kept so repaints neither decode nor scale again.
    Bitmap scaled_;
    QImage image_;
    FitRect imageRect_;
    double imageRatio_ = 1.0;
    bool imageValid_ = false;
};

}  // namespace velmora
