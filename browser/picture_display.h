#pragma once
// What a picture area draws, for every window: its own copy of a picture, fitted into
// the area by the display fit. A proportional area (the main window's) draws a display
// bitmap decoded for the fitted rectangle in device pixels, taken from the decoding
// ahead when it has one; the others draw the full bitmap, 1:1 or scaled by nearest
// neighbour. A decoder error is kept and handed out once, after the paint. What was
// made last is kept, so a repaint neither decodes nor scales again.

#include <functional>
#include <optional>
#include <string>

#include "browser/display_target.h"
#include "browser/neighbour_preloader.h"
#include "store/picture/bitmap.h"
#include "store/picture/jpeg_picture.h"

namespace velmora {

// How each picture area fits its picture: the main window's shrinks it proportionally
// into its place, centred; the viewer's draws it at its own size.
inline constexpr FitFlags kMainWindowFit{.stretch = false, .proportional = true, .center = true};
inline constexpr FitFlags kViewerFit{.stretch = false, .proportional = false, .center = true};

// What a window does at the end of each paint of its picture.
struct PaintReports {
    std::function<void()> shown;                       // the picture is on screen
    std::function<void(const std::string&)> failed;    // a decoder error, reported once
    std::function<void(std::function<void()>)> later;  // runs a task after the paint has returned
};

class PictureDisplay {
public:
    // Shows a copy of picture (sharing its JPEG data). decoderError: found while it was
    // decoded ahead, handed out once after its first paint.
    void setPicture(const JpegPicture& picture, std::optional<std::string> decoderError = std::nullopt);
    void clear();
    bool hasPicture() const { return hasPicture_; }
    JpegPicture& picture() { return picture_; }

    // Asked when a proportional area needs a display bitmap the picture does not have.
    void setAheadSource(std::function<std::optional<PreloadedPicture>()> source) { aheadSource_ = std::move(source); }

    // Where the picture goes in an area drawing at target, in logical pixels.
    FitRect drawRect(const DisplayTarget& target) const;

    // What to draw at target: the bitmap (device pixels for a display bitmap, logical
    // otherwise) to put at rect's top left; null when there is nothing to draw.
    // changed: made now rather than kept from the last call.
    struct Frame {
        const Bitmap* bitmap = nullptr;
        FitRect rect;
        bool changed = false;
        // Still being made ahead: the area keeps what it shows, and the picture is set
        // again when it comes.
        bool pending = false;
    };
    Frame frame(const DisplayTarget& target);

    // The decoder error to report now, once.
    std::optional<std::string> takeError();

    void setReports(PaintReports reports) { reports_ = std::move(reports); }
    // Called by the window when a paint of the picture is done: a decoder error met
    // while decoding for it is reported after the paint (never from inside it), then
    // the picture counts as shown. Nothing without a picture.
    void paintDone();

private:
    // Takes over what was decoded ahead, if anything; false when it is still coming.
    bool adoptAhead();
    const Bitmap* bitmapFor(const DisplayTarget& target, const FitRect& rect);

    JpegPicture picture_;
    bool hasPicture_ = false;
    std::optional<std::string> pendingError_;
    std::function<std::optional<PreloadedPicture>()> aheadSource_;
    PaintReports reports_;
    // The frame last made, and the target it was made for.
    Bitmap scaled_;
    const Bitmap* frameBitmap_ = nullptr;
    FitRect frameRect_;
    DisplayTarget frameTarget_;
    bool frameValid_ = false;
};

}  // namespace velmora
