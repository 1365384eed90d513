#include "qt_window/system_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "base/error.h"
#include "qt_window/bitmap_image.h"
#include "qt_window/x11_clipboard_image.h"

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

// Another program's clipboard on X is read off the window's thread, capped and with a
// Cancel; this program's own, and other platforms', through Qt.
bool readsFromAnotherX11Program(const QClipboard& clipboard) {
    return QGuiApplication::platformName() == QLatin1String("xcb") && !clipboard.ownsClipboard();
}

}  // namespace

bool QtClipboard::hasBitmap() {
    QClipboard& clipboard = systemClipboard();
    if (readsFromAnotherX11Program(clipboard)) return x11ClipboardOffersImage();
    const QMimeData* data = clipboard.mimeData();
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
    QClipboard& clipboard = systemClipboard();
    if (readsFromAnotherX11Program(clipboard)) {
        std::optional<Bitmap> bitmap = x11ClipboardImage();
        if (!bitmap) throw Error("Unsupported clipboard format");
        return std::move(*bitmap);
    }
    const QImage image = clipboard.image();
    if (image.isNull()) {
        throw Error("Unsupported clipboard format");
    }
    return bitmapFromImage(image);
}

}  // namespace velmora
