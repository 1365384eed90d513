#include "qt_window/bitmap_image.h"

#include <cstring>

namespace velmora {

QImage imageOver(const Bitmap& bitmap) {
    const uchar* bits = bitmap.bits();
    if (bitmap.format() == Bitmap::Format::Bgr24) {
        return QImage(bits, bitmap.width(), bitmap.height(), static_cast<qsizetype>(bitmap.bytesPerLine()),
                      QImage::Format_BGR888);
    }
    QImage image(bits, bitmap.width(), bitmap.height(), static_cast<qsizetype>(bitmap.bytesPerLine()),
                 QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (const auto& entry : bitmap.palette()) colours.append(qRgb(entry.red, entry.green, entry.blue));
    while (colours.size() < 256) colours.append(qRgb(0, 0, 0));
    image.setColorTable(colours);
    return image;
}

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
