#pragma once
// Drawing a bitmap into a rectangle of another size by nearest neighbour: rows and
// columns are dropped or repeated, never blended.

#include "store/picture/bitmap.h"

namespace velmora {

// The source picked for each of `count` target positions over `sourceSize` source
// positions: the source pixel under the centre of each target pixel.
int nearestSource(int target, int count, int sourceSize);

// `source` resized to width x height (same format and palette). An empty source or
// an empty size gives an empty bitmap of that format.
Bitmap scaleNearest(const Bitmap& source, int width, int height);

}  // namespace velmora
