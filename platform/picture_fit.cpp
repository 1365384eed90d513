#include "platform/picture_fit.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace velmora::platform {
namespace {

// Where the picture lands in the area: its top left corner and its scale on each axis.
struct Placement {
    double left = 0;
    double top = 0;
    double scaleX = 1;
    double scaleY = 1;
    bool repeat = false;
};

Placement placement(int width, int height, FitMode mode, const PixelRect& area) {
    const double fitX = static_cast<double>(area.width) / width;
    const double fitY = static_cast<double>(area.height) / height;
    Placement place;
    switch (mode) {
    case FitMode::Fill:
    case FitMode::Span: place.scaleX = place.scaleY = std::max(fitX, fitY); break;
    case FitMode::Fit: place.scaleX = place.scaleY = std::min(fitX, fitY); break;
    case FitMode::Stretch: place.scaleX = fitX, place.scaleY = fitY; break;
    case FitMode::Center: break;
    case FitMode::Tile: place.repeat = true; return place;
    }
    place.left = (area.width - width * place.scaleX) / 2;
    place.top = (area.height - height * place.scaleY) / 2;
    return place;
}

// The picture's column or row for a pixel of the area; -1 where the picture does not reach.
int source(int at, double start, double scale, int size, bool repeat) {
    if (repeat) return at % size;
    double position = (at + 0.5 - start) / scale;
    if (position < 0 || position >= size) return -1;
    return std::min(static_cast<int>(position), size - 1);
}

// Nearest-pixel drawing of any picture with width, height and at(x, y) into a canvas;
// black where it does not reach.
template <typename Picture>
void drawInto(const Picture& picture, FitMode mode, const PixelRect& area, CanvasView canvas) {
    if (picture.width <= 0 || picture.height <= 0 || area.width <= 0 || area.height <= 0) return;
    const Placement place = placement(picture.width, picture.height, mode, area);
    const int firstX = std::max(area.x, 0), endX = std::min(area.x + area.width, canvas.width);
    const int firstY = std::max(area.y, 0), endY = std::min(area.y + area.height, canvas.height);
    if (firstX >= endX || firstY >= endY) return;
    std::vector<int> columns(static_cast<std::size_t>(endX - firstX));
    for (int x = firstX; x < endX; ++x)
        columns[x - firstX] = source(x - area.x, place.left, place.scaleX, picture.width, place.repeat);
    for (int y = firstY; y < endY; ++y) {
        const int row = source(y - area.y, place.top, place.scaleY, picture.height, place.repeat);
        std::uint32_t* out = canvas.pixels + static_cast<std::size_t>(y) * canvas.pitch;
        for (int x = firstX; x < endX; ++x) {
            const int column = columns[x - firstX];
            out[x] = row < 0 || column < 0 ? 0 : picture.at(column, row);
        }
    }
}

}  // namespace

RgbPixels blankCanvas(int width, int height) {
    RgbPixels canvas;
    canvas.width = std::max(width, 0);
    canvas.height = std::max(height, 0);
    canvas.rgb.assign(static_cast<std::size_t>(canvas.width) * canvas.height, 0);
    return canvas;
}

void drawFitted(const RgbPixels& picture, FitMode mode, const PixelRect& area, RgbPixels& canvas) {
    drawInto(picture, mode, area,
             CanvasView{canvas.rgb.data(), canvas.width, canvas.height, static_cast<std::size_t>(canvas.width)});
}

void drawFitted(const RgbPixels& picture, FitMode mode, const PixelRect& area, CanvasView canvas) {
    drawInto(picture, mode, area, canvas);
}

void drawFitted(const BgrPixels& picture, FitMode mode, const PixelRect& area, CanvasView canvas) {
    drawInto(picture, mode, area, canvas);
}

PixelRect neededPictureSize(int width, int height, FitMode mode, const PixelRect& area) {
    if (width <= 0 || height <= 0 || area.width <= 0 || area.height <= 0) return {0, 0, width, height};
    const Placement place = placement(width, height, mode, area);
    if (place.repeat || mode == FitMode::Center) return {0, 0, width, height};
    return {0, 0, static_cast<int>(std::ceil(width * place.scaleX)), static_cast<int>(std::ceil(height * place.scaleY))};
}

RgbPixels composeAreas(const std::vector<PixelRect>& areas, const std::vector<RgbPixels>& pictures, FitMode mode) {
    if (areas.empty()) return blankCanvas(0, 0);
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (const PixelRect& m : areas) {
        left = std::min(left, m.x);
        top = std::min(top, m.y);
        right = std::max(right, m.x + m.width);
        bottom = std::max(bottom, m.y + m.height);
    }
    // Monitors far apart would ask for more than any screen shows.
    if (static_cast<long long>(right - left) * (bottom - top) > kMostComposedPixels) return blankCanvas(0, 0);
    RgbPixels canvas = blankCanvas(right - left, bottom - top);
    for (std::size_t i = 0; i < areas.size() && i < pictures.size(); ++i) {
        PixelRect area = areas[i];
        area.x -= left;
        area.y -= top;
        drawFitted(pictures[i], mode == FitMode::Span ? FitMode::Fill : mode, area, canvas);
    }
    return canvas;
}

}  // namespace velmora::platform
