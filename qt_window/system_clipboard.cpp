#include "qt_window/system_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "base/error.h"
#include "qt_window/bitmap_image.h"

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
    clipboard.setImage(imageOver(bitmap).copy());
}

Bitmap QtClipboard::bitmap() {
    const QImage image = systemClipboard().image();
    if (image.isNull()) {
        throw Error("Unsupported clipboard format");
    }
    return bitmapFromImage(image);
}

}  // namespace velmora
