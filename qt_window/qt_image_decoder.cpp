#include "qt_window/qt_image_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include "base/error.h"
#include "qt_window/bitmap_image.h"

namespace velmora {

namespace {

// Transparent parts show white.
QImage opaqueOverWhite(const QImage& image) {
    if (!image.hasAlphaChannel()) return image;
    QImage opaque(image.size(), QImage::Format_BGR888);
    opaque.fill(Qt::white);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, image);
    painter.end();
    return opaque;
}

}  // namespace

Bitmap QtImageDecoder::decode(const Bytes& file, const std::string& extension) const {
    const std::string invalid = invalidImageText(extension);
    // A view over the bytes, which outlive the reader.
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                               static_cast<qsizetype>(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, extension == "tif" ? "tiff" : QByteArray::fromStdString(extension));
    // The file's content decides: a PNG saved under .gif still reads as the PNG it is.
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) throw Error(invalid);

    const QImage opaque = opaqueOverWhite(image);
    if (opaque.isNull()) throw Error(invalid);
    return bitmapFromImage(opaque);
}

}  // namespace velmora
