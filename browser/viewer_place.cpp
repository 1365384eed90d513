#include "browser/viewer_place.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace velmora {

namespace {

constexpr DialogRect kViewerOrigin{18, 17, 0, 0};
constexpr int kLineStep = 40;      // logical pixels, scaled by the screen's ratio
constexpr int kWheelLines = 3;     // the system's usual lines per notch
constexpr int kDragDistance = 4;   // logical pixels a press may wander and still click

}  // namespace

ViewerPlace viewerPlace(int pictureWidth, int pictureHeight, double pixelRatio, const DialogRect& workArea,
                        const ViewerFrame& frame) {
    const DialogRect origin = inDevicePixels(kViewerOrigin, pixelRatio);
    const int frameWidth = frame.left + frame.right;
    const int frameHeight = frame.top + frame.bottom;
    ViewerPlace place{{origin.x, origin.y, pictureWidth + frameWidth, pictureHeight + frameHeight},
                      pictureWidth,
                      pictureHeight};
    const int workRight = workArea.x + workArea.width;
    const int workBottom = workArea.y + workArea.height;
    if (origin.x + place.window.width <= workRight && origin.y + place.window.height <= workBottom) return place;

    // Each scrollbar takes room from the other direction, which may then need one too.
    bool across = place.window.width > workArea.width;
    bool down = place.window.height > workArea.height;
    for (int pass = 0; pass < 2; ++pass) {
        across = across || place.window.width + (down ? frame.verticalBarWidth : 0) > workArea.width;
        down = down || place.window.height + (across ? frame.horizontalBarHeight : 0) > workArea.height;
    }
    place.scrollsAcross = across;
    place.scrollsDown = down;
    DialogRect& window = place.window;
    window.width = std::min(window.width + (down ? frame.verticalBarWidth : 0), workArea.width);
    window.height = std::min(window.height + (across ? frame.horizontalBarHeight : 0), workArea.height);
    window.x = std::max(workArea.x, std::min(origin.x, workRight - window.width));
    window.y = std::max(workArea.y, std::min(origin.y, workBottom - window.height));
    place.viewWidth = std::max(0, window.width - frameWidth - (down ? frame.verticalBarWidth : 0));
    place.viewHeight = std::max(0, window.height - frameHeight - (across ? frame.horizontalBarHeight : 0));
    return place;
}

int viewerStep(ViewerStep step, int view, double pixelRatio) {
    const int line = static_cast<int>(std::lround(kLineStep * pixelRatio));
    switch (step) {
    case ViewerStep::Line: return line;
    case ViewerStep::Wheel: return kWheelLines * line;
    case ViewerStep::Page: return std::max(line, view - line);  // a line of the old page stays in sight
    }
    return line;
}

int viewerScrolled(int offset, int by, int picture, int view) {
    return std::clamp(offset + by, 0, std::max(0, picture - view));
}

void ViewerDrag::press(int x, int y, bool scrolls) {
    pressed_ = true;
    scrolls_ = scrolls;
    dragged_ = false;
    startX_ = lastX_ = x;
    startY_ = lastY_ = y;
}

ViewerDrag::Move ViewerDrag::move(int x, int y) {
    if (!pressed_ || !scrolls_) return {};
    if (!dragged_ && std::abs(x - startX_) <= kDragDistance && std::abs(y - startY_) <= kDragDistance) return {};
    dragged_ = true;
    // The picture follows the pointer: the view moves the other way.
    const Move move{lastX_ - x, lastY_ - y};
    lastX_ = x;
    lastY_ = y;
    return move;
}

}  // namespace velmora
