#pragma once
// Drawing a picture into a rectangle of a larger canvas in one of the fit modes, for
// the backends that draw the wallpaper themselves (the X root window) and for the
// one image that spans several monitors.

#include <vector>

#include "platform/bmp_pixels.h"
#include "platform/wallpaper_layout.h"
#include "platform/wallpaper_pixels.h"

namespace velmora::platform {

// A canvas of that size, every pixel black.
RgbPixels blankCanvas(int width, int height);

// Draws the picture into area of canvas (what lies outside the canvas is cut off):
// fill and span cover the area and cut the overhang, fit leaves black bars, stretch
// takes the area's shape, center and tile draw at the picture's own size, centred or
// repeated from the area's top left corner. Nearest-pixel sampling.
void drawFitted(const RgbPixels& picture, FitMode mode, const PixelRect& area, RgbPixels& canvas);

// 0x00RRGGBB pixels held elsewhere (a buffer the X server reads), rows `pitch` pixels apart.
struct CanvasView {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::size_t pitch = 0;
};
// The same into such a canvas.
void drawFitted(const RgbPixels& picture, FitMode mode, const PixelRect& area, CanvasView canvas);
void drawFitted(const BgrPixels& picture, FitMode mode, const PixelRect& area, CanvasView canvas);

// The smallest size a width x height picture may be given in and still be drawn into
// area in the mode without enlarging it further: its size on screen, and its own for
// center and tile.
PixelRect neededPictureSize(int width, int height, FitMode mode, const PixelRect& area);

// A limit on the composed picture: 16384 x 16384 pixels.
inline constexpr long long kMostComposedPixels = 16384LL * 16384;

// One picture of the whole virtual screen (the bounding box of the areas, whose top
// left corner is the leftmost and topmost edge): pictures[i] fitted into areas[i] in
// the mode (span as fill), black where no area is. Empty when it would exceed the limit.
RgbPixels composeAreas(const std::vector<PixelRect>& areas, const std::vector<RgbPixels>& pictures, FitMode mode);

}  // namespace velmora::platform
