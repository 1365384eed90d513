#include "browser/system_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "base/error.h"
#include "browser/bitmap_from_image.h"

namespace velmora {

namespace {

QClipboard& systemClipboard() {
    // qobject_cast: a plain QCoreApplication has no clipboard.
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    QClipboard* clipboard = application ? QGuiApplication::clipboard() : nullptr;
    if (!clipboard) {
        throw Error("Cannot open clipboard");
    }
    return *clipboard;
}

QImage toImage(const Bitmap& bitmap) {
    const bool indexed = bitmap.format() == Bitmap::Format::Indexed8;
    // Wraps the bitmap's rows in place; copy() then gives the clipboard its own pixels.
    QImage view(bitmap.bits(), bitmap.width(), bitmap.height(), static_cast<qsizetype>(bitmap.bytesPerLine()),
                indexed ? QImage::Format_Indexed8 : QImage::Format_BGR888);
    if (indexed) {
        QList<QRgb> colours;
        for (const PaletteEntry& entry : bitmap.palette()) {
            colours.append(qRgb(entry.red, entry.green, entry.blue));
        }
        // Pixel values beyond the palette show black, as the store draws them.
        while (colours.size() < 256) {
            colours.append(qRgb(0, 0, 0));
        }
        view.setColorTable(colours);
    }
    return view.copy();
}

}  // namespace

bool QtClipboard::hasBitmap() {
    const QMimeData* data = systemClipboard().mimeData();
    return data && data->hasImage();
}

void QtClipboard::clear() {
    systemClipboard().clear();
}

void QtClipboard::setBitmap(const Bitmap& bitmap) {
    QClipboard& clipboard = systemClipboard();
    if (bitmap.empty()) {
        clipboard.clear();
        return;
    }
    clipboard.setImage(toImage(bitmap));
}

Bitmap QtClipboard::bitmap() {
    const QImage image = systemClipboard().image();
    if (image.isNull()) {
        throw Error("Unsupported clipboard format");
    }
    return bitmapFromImage(image);
}

}  // namespace velmora
