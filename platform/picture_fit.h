#pragma once
// Drawing a picture into a rectangle of a larger canvas in one of the fit modes, for
// the backends that draw the wallpaper themselves (the X root window) and for the
// one image that spans several monitors.

#include "platform/bmp_pixels.h"
#include "platform/wallpaper_layout.h"

namespace velmora::platform {

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A canvas of that size, every pixel black.
RgbPixels blankCanvas(int width, int height);

// Draws the picture into area of canvas (what lies outside the canvas is cut off):
// fill and span cover the area and cut the overhang, fit leaves black bars, stretch
// takes the area's shape, center and tile draw at the picture's own size, centred or
// repeated from the area's top left corner. Nearest-pixel sampling.
void drawFitted(const RgbPixels& picture, FitMode mode, const PixelRect& area, RgbPixels& canvas);

}  // namespace velmora::platform
