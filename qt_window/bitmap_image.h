#pragma once
// Between Qt images and the store's bitmaps.

#include <QImage>

#include "store/picture/bitmap.h"

namespace velmora {

// A QImage over the bitmap's own rows, never written through: the bitmap must outlive
// it (copy() it to keep the pixels). Pixel values beyond an 8-bit bitmap's palette
// show black, as the store draws them.
QImage imageOver(const Bitmap& bitmap);

// A 24-bit blue-green-red copy of the image; an alpha channel is dropped, the colours
// kept. Raises "Bitmap image is not valid" when the size is beyond what a bitmap holds.
Bitmap bitmapFromImage(const QImage& image);

}  // namespace velmora
