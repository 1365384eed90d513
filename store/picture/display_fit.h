#pragma once
// Where a display area draws its picture: centred, shrunk proportionally when larger
// than the area, never enlarged.

namespace velmora {

struct FitRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const FitRect&) const = default;
};

struct FitFlags {
    bool stretch = false;
    bool proportional = false;
    bool center = false;
};

// w, h: the picture's size; cw, ch: the area's client size.
FitRect displayFit(int w, int h, int cw, int ch, FitFlags flags);

}  // namespace velmora
