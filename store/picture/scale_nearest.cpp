#include "store/picture/scale_nearest.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace velmora {

int nearestSource(int target, int count, int sourceSize) {
    return static_cast<int>((2 * static_cast<std::int64_t>(target) + 1) * sourceSize /
                            (2 * static_cast<std::int64_t>(count)));
}

Bitmap scaleNearest(const Bitmap& source, int width, int height) {
    if (source.empty() || width <= 0 || height <= 0) {
        Bitmap result(0, 0, source.format());
        result.setPalette(source.palette());
        return result;
    }
    Bitmap result(width, height, source.format());
    result.setPalette(source.palette());

    const int bytesPerPixel = source.format() == Bitmap::Format::Bgr24 ? 3 : 1;
    // Byte offsets of the source columns, worked out once for all rows.
    std::vector<std::size_t> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        columns[static_cast<std::size_t>(x)] =
            static_cast<std::size_t>(nearestSource(x, width, source.width())) * bytesPerPixel;
    }

    int previousSourceRow = -1;
    for (int y = 0; y < height; ++y) {
        const int sourceRow = nearestSource(y, height, source.height());
        std::uint8_t* out = result.scanLine(y);
        if (sourceRow == previousSourceRow) {
            // A repeated row: copy the row just made.
            std::memcpy(out, result.scanLine(y - 1), result.bytesPerLine());
            continue;
        }
        previousSourceRow = sourceRow;
        const std::uint8_t* in = source.scanLine(sourceRow);
        if (bytesPerPixel == 3) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* pixel = in + columns[static_cast<std::size_t>(x)];
                out[3 * x] = pixel[0];
                out[3 * x + 1] = pixel[1];
                out[3 * x + 2] = pixel[2];
            }
        } else {
            for (int x = 0; x < width; ++x) {
                out[x] = in[columns[static_cast<std::size_t>(x)]];
            }
        }
    }
    return result;
}

}  // namespace velmora
