#pragma once
// A picture display area (the windows' `pictureView`): draws what its PictureDisplay
// makes of its picture. The picture is decoded at its first draw; a decoder error is
// handed on once (decodeFailed), after the paint.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QImage>
#include <QWidget>

#include "browser/display_target.h"
#include "browser/picture_click.h"
#include "browser/picture_display.h"

namespace velmora {

class PictureImage : public QWidget {
    Q_OBJECT

public:
    explicit PictureImage(QWidget* parent = nullptr);

    // Display flags: kMainWindowFit or kViewerFit.
    void setFitFlags(FitFlags flags) { flags_ = flags; }

    // Shows a copy of picture (sharing its JPEG data). decoderError: an error found
    // while the picture was decoded ahead, reported once after its first paint.
    void setPicture(const JpegPicture& picture, std::optional<std::string> decoderError = std::nullopt);
    void clear();
    bool hasPicture() const { return display_.hasPicture(); }
    // The displayed picture object (empty when cleared).
    JpegPicture& picture() { return display_.picture(); }

    // Where the current picture is drawn inside this widget, in logical pixels.
    FitRect drawRect() const { return display_.drawRect(displayTarget()); }
    // The area as it draws now: size, flags and device pixel ratio.
    DisplayTarget displayTarget() const;
    // Asked by a paint that needs a display bitmap the picture does not have: may give
    // one decoded ahead (with its decoder error) instead of a decode on this thread.
    void setAheadSource(std::function<std::optional<PreloadedPicture>()> source) {
        display_.setAheadSource(std::move(source));
    }

signals:
    void clicked();
    // A paint has put the picture on screen.
    void painted();
    // Decoding the picture failed (found now or ahead); sent once, after the paint.
    void decodeFailed(const std::string& message);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool onPicture(const QMouseEvent* event) const;

    PictureDisplay display_;
    PictureClick click_;
    FitFlags flags_;
    QImage image_;  // over the frame's bitmap
    bool imageOwned_ = true;  // image_ is its own copy, over imageBitmap_, or null
    std::shared_ptr<const Bitmap> imageBitmap_;  // a display bitmap of a picture no longer set
    QPoint imageAt_;  // where image_ was drawn last
};

}  // namespace velmora
