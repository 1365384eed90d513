#include "store/picture/display_fit.h"

namespace velmora {

FitRect displayFit(int w, int h, int cw, int ch, FitFlags flags) {
    if (flags.stretch || (flags.proportional && (w > cw || h > ch))) {
        if (flags.proportional && w > 0 && h > 0) {
            const double aspect = static_cast<double>(w) / static_cast<double>(h);
            if (w > h) {
                w = cw;
                h = static_cast<int>(cw / aspect);
                if (h > ch) {
                    h = ch;
                    w = static_cast<int>(ch * aspect);
                }
            } else {
                h = ch;
                w = static_cast<int>(ch * aspect);
                if (w > cw) {
                    w = cw;
                    h = static_cast<int>(cw / aspect);
                }
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    FitRect rect{0, 0, w, h};
    if (flags.center) {
        // C++ division truncates toward zero, like Pascal's div.
        rect.left = (cw - w) / 2;
        rect.top = (ch - h) / 2;
    }
    return rect;
}

}  // namespace velmora
