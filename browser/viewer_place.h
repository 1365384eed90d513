#pragma once
// Where the viewer opens, how large it is and how it scrolls, for every window. The
// picture is shown at its own size, one picture pixel per device pixel, so everything
// here is in device pixels. A window that fits on the monitor's work area opens at
// 18,17 (scaled by the screen's ratio) with its client area as large as the picture;
// a larger one is limited to the work area and scrolls over the picture.

#include "browser/window_layout.h"

namespace velmora {

// The window's frame around its client area, and the thickness of its scrollbars.
struct ViewerFrame {
    int left = 0, top = 0, right = 0, bottom = 0;
    int verticalBarWidth = 0, horizontalBarHeight = 0;
};

struct ViewerPlace {
    DialogRect window;          // the whole window, frame included, on the screen
    int viewWidth = 0;          // the part of the picture the client area shows
    int viewHeight = 0;
    bool scrollsAcross = false;  // a horizontal scrollbar
    bool scrollsDown = false;    // a vertical scrollbar
};

ViewerPlace viewerPlace(int pictureWidth, int pictureHeight, double pixelRatio, const DialogRect& workArea,
                        const ViewerFrame& frame);

// How far one step scrolls: an arrow key or a scrollbar arrow (Line), a wheel notch
// (Wheel), a page key or a click in the scrollbar's track (Page).
enum class ViewerStep { Line, Wheel, Page };
int viewerStep(ViewerStep step, int view, double pixelRatio);

// The offset after scrolling by `by`, kept so the view stays on the picture.
int viewerScrolled(int offset, int by, int picture, int view);

// The left button on a scrolling viewer: a press that moves the pointer by more than a
// few pixels drags the picture and is no click; on a viewer that does not scroll every
// press-and-release is a click, as on the main window's picture.
class ViewerDrag {
public:
    void press(int x, int y, bool scrolls);
    // How far to scroll the view for the pointer now at x,y (0,0 when not dragging).
    struct Move {
        int across = 0, down = 0;
    };
    Move move(int x, int y);
    // Whether the press moved the picture, which makes its release no click.
    bool dragged() const { return dragged_; }
    void release() { pressed_ = false; }

private:
    bool pressed_ = false, scrolls_ = false, dragged_ = false;
    int startX_ = 0, startY_ = 0, lastX_ = 0, lastY_ = 0;
};

}  // namespace velmora
