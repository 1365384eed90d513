#include "qt_window/x11_clipboard_image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include "platform/clipboard_x11.h"
#include "qt_window/bitmap_image.h"
#include "qt_window/transfer_progress.h"

namespace velmora {

namespace {

// Qt's readers decode no picture of more than 256 MiB of pixels (their allocation
// limit); such a picture as PNG or as BMP stays below this, and a 12-megapixel photo
// as BMP takes 36 MB. Nothing larger is worth taking from another program.
constexpr std::uint64_t kMaxTransferBytes = 320u << 20;

// PNG first (lossless and compact), then BMP, then whatever else Qt reads.
std::optional<std::string> readableImageType(const std::vector<std::string>& offered) {
    const QList<QByteArray> readable = QImageReader::supportedMimeTypes();
    std::optional<std::string> best;
    int bestRank = 3;
    for (const std::string& type : offered) {
        if (!readable.contains(QByteArray::fromStdString(type))) continue;
        const int rank = type == "image/png" ? 0 : type == "image/bmp" ? 1 : 2;
        if (rank < bestRank) {
            best = type;
            bestRank = rank;
        }
    }
    return best;
}

// Bytes as they arrive, grown with realloc: for large sizes the C library moves the
// pages instead of copying them, so a transfer near the cap takes the cap, not twice it.
class ReceivedBytes {
public:
    ~ReceivedBytes() { std::free(data_); }
    void append(const std::uint8_t* data, std::size_t size) {
        if (size_ + size > capacity_) {
            const std::size_t capacity = std::min<std::size_t>(std::max(size_ + size, 2 * capacity_), kMaxTransferBytes);
            auto* grown = static_cast<std::uint8_t*>(std::realloc(data_, capacity));
            if (!grown) throw std::bad_alloc();
            data_ = grown;
            capacity_ = capacity;
        }
        std::memcpy(data_ + size_, data, size);
        size_ += size;
    }
    QImage decoded() const { return QImage::fromData(data_, static_cast<int>(size_)); }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace

bool x11ClipboardOffersImage() {
    platform::SelectionProgress progress;
    bool offered = false;
    runTransfer([&] { offered = readableImageType(platform::X11Clipboard().offeredTypes(progress)).has_value(); },
                progress);
    return offered;
}

std::optional<Bitmap> x11ClipboardImage() {
    platform::SelectionProgress progress;
    std::optional<Bitmap> bitmap;
    runTransfer(
        [&] {
            platform::X11Clipboard clipboard;
            const std::optional<std::string> type = readableImageType(clipboard.offeredTypes(progress));
            if (!type) return;
            QImage image;
            {
                ReceivedBytes bytes;
                const platform::SelectionOutcome outcome = clipboard.read(
                    *type, {kMaxTransferBytes}, progress,
                    [&bytes](const std::uint8_t* data, std::size_t size) { bytes.append(data, size); });
                if (outcome != platform::SelectionOutcome::Received) return;
                image = bytes.decoded();
            }
            if (!image.isNull()) bitmap = bitmapFromImage(image);
        },
        progress);
    return bitmap;
}

}  // namespace velmora
