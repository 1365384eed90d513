#include "store/picture/jpeg_picture.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#ifdef _WIN32
#include "base/file_replace.h"
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "base/system_error.h"
#include "base/error.h"
#include "store/picture/decode_cancel.h"
#include "store/picture/exif_orientation.h"
#include "store/picture/jpeg_decoder.h"
#include "store/picture/jpeg_encoder.h"
#include "store/picture/scale_nearest.h"

namespace velmora {

namespace {

JpegDefaults& defaultsInForce() {
    static JpegDefaults defaults;
    return defaults;
}

// The front read at first (headers without a large Exif segment fit), growing fourfold
// while the frame header is not in it; values up to this size are read whole at once.
constexpr std::size_t kFirstFront = 16 * 1024;

// The foreign "graphic header": 01 00 00 01, then the 32-bit little-endian length
// of what follows it. `front` holds the value's first bytes, `size` is its length.
bool hasGraphicHeader(const Bytes& front, std::size_t size) {
    if (size < 8 || front.size() < 8 || front[0] != 0x01 || front[1] != 0x00 || front[2] != 0x00 ||
        front[3] != 0x01) {
        return false;
    }
    const std::uint32_t length = static_cast<std::uint32_t>(front[4]) | static_cast<std::uint32_t>(front[5]) << 8 |
                                 static_cast<std::uint32_t>(front[6]) << 16 |
                                 static_cast<std::uint32_t>(front[7]) << 24;
    return length == size - 8;
}

bool hasGraphicHeader(const Bytes& value) {
    return hasGraphicHeader(value, value.size());
}

const char* const kValueChanged = "The picture's record was changed or removed since it was read";

#ifndef _WIN32
std::string fullPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}
#endif

}  // namespace

const JpegDefaults& jpegDefaults() {
    return defaultsInForce();
}

void settleScreenDepth(int bitsPerPixelTimesPlanes) {
    defaultsInForce().pixelFormat = bitsPerPixelTimesPlanes <= 8 ? PixelFormat::Bits8 : PixelFormat::Bits24;
}

// The JPEG data and what its headers say. Copies of a picture object share one slot,
// so data one of them makes by encoding is seen by all.
struct JpegPicture::DataSlot {
    SharedBytes bytes;  // null: no data yet, or not fetched (or let go again)
    // A value whose headers alone were read: fetched on first use, checked against
    // the front that was parsed.
    std::function<SharedBytes()> fetchWhole;
    Bytes front;
    std::size_t valueSize = 0;
    std::size_t skip = 0;  // a graphic header's 8 bytes
    bool lost = false;     // the fetch failed: the value changed under the picture
    int width = 0;
    int height = 0;
    bool grayscale = false;
    bool progressive = false;
    Orientation orientation = Orientation::Normal;  // from the stream's EXIF data
};

JpegPicture::JpegPicture() : data_(std::make_shared<DataSlot>()), settings_(jpegDefaults()) {}

JpegPicture::JpegPicture(const JpegPicture& other)
    : data_(other.data_),
      bitmap_(other.bitmap_ ? std::make_unique<Bitmap>(*other.bitmap_) : nullptr),
      display_(other.display_),
      decodeFailed_(other.decodeFailed_),
      settings_(other.settings_) {}

JpegPicture& JpegPicture::operator=(const JpegPicture& other) {
    if (this != &other) {
        data_ = other.data_;
        bitmap_ = other.bitmap_ ? std::make_unique<Bitmap>(*other.bitmap_) : nullptr;
        display_ = other.display_;
        decodeFailed_ = other.decodeFailed_;
        settings_ = other.settings_;
    }
    return *this;
}

JpegPicture::~JpegPicture() = default;

void JpegPicture::readStored(const SharedBytes& value) {
    if (value && hasGraphicHeader(*value)) {
        loadData(shareBytes(Bytes(value->begin() + 8, value->end())));
    } else {
        loadData(value);
    }
}

void JpegPicture::readStored(const DeferredBytes& value) {
    if (value.size <= kFirstFront) {
        readStored(value.readWhole());
        return;
    }
    Bytes front = value.readFront(kFirstFront);
    const std::size_t skip = hasGraphicHeader(front, value.size) ? 8 : 0;
    std::optional<JpegHeader> header;
    for (;;) {
        // The decoder reads the stream from behind the graphic header (copied only then).
        const Bytes behind = skip ? Bytes(front.begin() + 8, front.end()) : Bytes();
        header = readJpegHeaderFromFront(skip ? behind : front);
        if (header) break;
        if (front.size() >= value.size / 2) {
            // Headers that fill half the value: reading the rest is as cheap.
            readStored(value.readWhole());
            return;
        }
        front = value.readFront(std::min(value.size, front.size() * 4));
    }
    auto slot = std::make_shared<DataSlot>();
    slot->fetchWhole = value.readWhole;
    slot->front = std::move(front);
    slot->valueSize = value.size;
    slot->skip = skip;
    slot->width = header->width;
    slot->height = header->height;
    slot->grayscale = header->grayscale;
    slot->progressive = header->progressive;
    // The Exif segment comes before the frame header, so the front read holds it.
    const Bytes behind = skip ? Bytes(slot->front.begin() + 8, slot->front.end()) : Bytes();
    slot->orientation = exifOrientation(skip ? behind : slot->front);
    data_ = slot;
    bitmap_.reset();
    display_.reset();
    decodeFailed_ = false;
}

const SharedBytes& JpegPicture::fetchedBytes() {
    DataSlot& slot = *data_;
    if (slot.lost) throw Error(kValueChanged);
    if (slot.bytes || !slot.fetchWhole) return slot.bytes;
    SharedBytes whole;
    try {
        whole = slot.fetchWhole();
    } catch (const Error&) {
        slot.lost = true;
        throw;
    }
    if (!whole || whole->size() != slot.valueSize || !std::equal(slot.front.begin(), slot.front.end(), whole->begin())) {
        slot.lost = true;
        throw Error(kValueChanged);
    }
    slot.bytes = slot.skip ? shareBytes(Bytes(whole->begin() + static_cast<std::ptrdiff_t>(slot.skip), whole->end()))
                           : std::move(whole);
    return slot.bytes;
}

void JpegPicture::releaseFetchedBytes() {
    // Fetched again, and checked again against the front, when next needed.
    if (data_->fetchWhole) data_->bytes.reset();
}

bool JpegPicture::dataFetched() const {
    return data_->bytes != nullptr;
}

void JpegPicture::loadData(const SharedBytes& bytes) {
    auto slot = std::make_shared<DataSlot>();
    slot->bytes = bytes ? bytes : shareBytes({});
    data_ = slot;
    bitmap_.reset();
    display_.reset();
    decodeFailed_ = false;
    if (!slot->bytes->empty()) {
        const JpegHeader header = readJpegHeader(*slot->bytes);
        slot->width = header.width;
        slot->height = header.height;
        slot->grayscale = header.grayscale;
        slot->progressive = header.progressive;
        slot->orientation = exifOrientation(*slot->bytes);
    }
}

void JpegPicture::assignBitmap(const Bitmap& bitmap) {
    assignBitmap(Bitmap(bitmap));
}

void JpegPicture::assignBitmap(Bitmap&& bitmap) {
    data_ = std::make_shared<DataSlot>();
    bitmap_ = std::make_unique<Bitmap>(std::move(bitmap));
    display_.reset();
    decodeFailed_ = false;
}

bool JpegPicture::empty() const {
    return !hasData() && (!bitmap_ || bitmap_->empty());
}

bool JpegPicture::hasData() const {
    return data_->bytes != nullptr || data_->fetchWhole != nullptr || data_->lost;
}

int JpegPicture::width() const {
    if (bitmap_) return bitmap_->width();
    return swapsWidthAndHeight(data_->orientation) ? data_->height : data_->width;
}

int JpegPicture::height() const {
    if (bitmap_) return bitmap_->height();
    return swapsWidthAndHeight(data_->orientation) ? data_->width : data_->height;
}

Orientation JpegPicture::orientation() const {
    return data_->orientation;
}

void JpegPicture::turnUpright(Bitmap& decoded) const {
    if (data_->orientation != Orientation::Normal && decoded.width() > 0 && decoded.height() > 0)
        decoded = orientBitmap(decoded, data_->orientation);
}

bool JpegPicture::grayscale() const {
    return data_->grayscale;
}

bool JpegPicture::progressive() const {
    return data_->progressive;
}

SharedBytes JpegPicture::jpegData() {
    fetchedBytes();
    if (!data_->bytes) {
        const bool encodable = bitmap_ && !bitmap_->empty();
        SharedBytes encoded = shareBytes(encodable ? encodeJpeg(*bitmap_, settings_) : Bytes{});
        data_->width = encodable ? bitmap_->width() : 0;
        data_->height = encodable ? bitmap_->height() : 0;
        data_->grayscale = settings_.grayscaleOutput;
        data_->progressive = settings_.progressiveEncoding;
        data_->bytes = std::move(encoded);
    }
    return data_->bytes;
}

void JpegPicture::saveToFile(const std::string& path) {
    const SharedBytes bytes = jpegData();
#ifdef _WIN32
    // Through the Win32 file calls: always binary, and never a partial file.
    const FileReplaceResult result = replaceFile(path, bytes->data(), bytes->size());
    if (result.writeFailed) {
        throw Error("Stream write error");
    }
    if (result.error != 0) {
        throw Error(cannotCreateFileMessage(fullPathName(path), result.error));
    }
}
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        throw Error(cannotCreateFileMessage(fullPath(path), win32CreateErrorFromErrno(errno)));
    }
    std::size_t written = 0;
    while (written < bytes->size()) {
        const ssize_t n = ::write(fd, bytes->data() + written, bytes->size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            // A short file would pass for the picture: remove it.
            ::close(fd);
            ::unlink(path.c_str());
            throw Error("Stream write error");
        }
        written += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        ::unlink(path.c_str());
        throw Error("Stream write error");
    }
}
#endif

const Bitmap& JpegPicture::bitmap() {
    if (bitmap_) {
        return *bitmap_;
    }
    // The bitmap exists from here on, also when decoding fails: the error is raised
    // once and later draws show what was decoded.
    const SharedBytes& bytes = fetchedBytes();
    bitmap_ = std::make_unique<Bitmap>();
    if (bytes) {
        // After a failed display decode the error has been reported already: the
        // full decode keeps what it gets without raising it again.
        const bool reported = decodeFailed_;
        try {
            decodeJpeg(*bytes, settings_, *bitmap_);
        } catch (const DecodeCancelled&) {
            bitmap_.reset();  // decoded again when asked again
            throw;
        } catch (const Error&) {
            decodeFailed_ = true;
            if (!reported) {
                turnUpright(*bitmap_);
                throw;
            }
        }
        turnUpright(*bitmap_);
    }
    return *bitmap_;
}

const Bitmap& JpegPicture::displayBitmap(int width, int height) {
    if (display_ && display_->width() == width && display_->height() == height) return *display_;
    if (bitmap_ || decodeFailed_ || data_->lost) {
        // From the full bitmap, or, after a failure, from what was decoded.
        const Bitmap* source = bitmap_ ? bitmap_.get() : display_.get();
        display_ = std::make_shared<const Bitmap>(source ? scaleNearest(*source, width, height) : Bitmap());
        return *display_;
    }
    const SharedBytes& bytes = fetchedBytes();
    Bitmap reduced;
    // The stream is stored sideways for orientations 5 to 8: cover the turned rectangle.
    const bool sideways = swapsWidthAndHeight(data_->orientation);
    const bool upright = data_->orientation == Orientation::Normal;
    try {
        if (bytes && upright) {
            decodeJpegAtSize(*bytes, settings_, CoverSize{width, height}, reduced);
        } else if (bytes) {
            decodeJpegCovering(*bytes, settings_, sideways ? CoverSize{height, width} : CoverSize{width, height},
                               reduced);
        }
        // A picture on screen holds its display bitmap, not the stored bytes too.
        releaseFetchedBytes();
    } catch (const Error&) {
        releaseFetchedBytes();
        decodeFailed_ = true;
        turnUpright(reduced);
        display_ = std::make_shared<const Bitmap>(scaleNearest(reduced, width, height));
        throw;
    }
    turnUpright(reduced);
    const bool exact = reduced.width() == width && reduced.height() == height;
    display_ = std::make_shared<const Bitmap>(exact ? std::move(reduced) : scaleNearest(reduced, width, height));
    return *display_;
}

Bitmap JpegPicture::coveringBitmap(int width, int height) {
    if (bitmap_) return *bitmap_;
    Bitmap reduced;
    if (const SharedBytes& bytes = fetchedBytes()) {
        // The stream is stored sideways for orientations 5 to 8: cover the turned rectangle.
        const bool sideways = swapsWidthAndHeight(data_->orientation);
        decodeJpegCovering(*bytes, settings_, sideways ? CoverSize{height, width} : CoverSize{width, height}, reduced);
    }
    turnUpright(reduced);
    return reduced;
}

void JpegPicture::adoptDisplayBitmap(Bitmap bitmap, bool decodeFailed) {
    adoptDisplayBitmap(std::make_shared<const Bitmap>(std::move(bitmap)), decodeFailed);
}

void JpegPicture::adoptDisplayBitmap(std::shared_ptr<const Bitmap> bitmap, bool decodeFailed) {
    display_ = bitmap ? std::move(bitmap) : std::make_shared<const Bitmap>();
    decodeFailed_ = decodeFailed_ || decodeFailed;
}

bool JpegPicture::hasBitmap() const {
    return bitmap_ != nullptr;
}

bool JpegPicture::decodeFailed() const {
    return decodeFailed_;
}

}  // namespace velmora
