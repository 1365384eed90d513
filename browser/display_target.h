#pragma once
// Where and how densely a display area draws a picture: its client size and fit
// flags in logical pixels, and the screen's device pixel ratio. The picture is decoded
// and scaled for the fitted rectangle in device pixels, so a high-density screen gets
// real detail instead of blown-up pixels.

#include <cmath>

#include "store/picture/display_fit.h"

namespace velmora {

struct DisplayTarget {
    int width = 0;
    int height = 0;
    FitFlags flags;
    double pixelRatio = 1.0;

    bool operator==(const DisplayTarget& other) const {
        return width == other.width && height == other.height && flags.stretch == other.flags.stretch &&
               flags.proportional == other.flags.proportional && flags.center == other.flags.center &&
               pixelRatio == other.pixelRatio;
    }

    // The fitted rectangle of a w x h picture, in logical pixels.
    FitRect fit(int w, int h) const { return displayFit(w, h, width, height, flags); }
    // The size of a logical length in device pixels.
    int device(int logical) const { return static_cast<int>(std::lround(logical * pixelRatio)); }
};

}  // namespace velmora
