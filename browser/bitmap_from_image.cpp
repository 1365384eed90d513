#include "browser/bitmap_from_image.h"

#include <cstring>

namespace velmora {

Bitmap bitmapFromImage(const QImage& image) {
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    Bitmap bitmap(bgr.width(), bgr.height(), Bitmap::Format::Bgr24);
    const std::size_t rowBytes = static_cast<std::size_t>(bgr.width()) * 3;
    for (int y = 0; y < bgr.height(); ++y) {
        std::memcpy(bitmap.scanLine(y), bgr.constScanLine(y), rowBytes);
    }
    return bitmap;
}

}  // namespace velmora
