#pragma once
// Qt images into the store's bitmaps.

#include <QImage>

#include "store/picture/bitmap.h"

namespace velmora {

// A 24-bit blue-green-red copy of the image; an alpha channel is dropped, the colours
// kept. Raises "Bitmap image is not valid" when the size is beyond what a bitmap holds.
Bitmap bitmapFromImage(const QImage& image);

}  // namespace velmora
