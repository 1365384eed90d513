#include "store/picture/jpeg_picture.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#ifdef _WIN32
#include "base/file_replace.h"
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "base/system_error.h"
#include "base/error.h"
#include "store/picture/jpeg_decoder.h"
#include "store/picture/jpeg_encoder.h"

namespace velmora {

namespace {

JpegDefaults& defaultsInForce() {
    static JpegDefaults defaults;
    return defaults;
}

// The foreign "graphic header": 01 00 00 01, then the 32-bit little-endian length
// of what follows it.
bool hasGraphicHeader(const Bytes& value) {
    if (value.size() < 8 || value[0] != 0x01 || value[1] != 0x00 || value[2] != 0x00 || value[3] != 0x01) {
        return false;
    }
    const std::uint32_t length = static_cast<std::uint32_t>(value[4]) | static_cast<std::uint32_t>(value[5]) << 8 |
                                 static_cast<std::uint32_t>(value[6]) << 16 |
                                 static_cast<std::uint32_t>(value[7]) << 24;
    return length == value.size() - 8;
}

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
    SharedBytes bytes;  // null: no data yet
    int width = 0;
    int height = 0;
    bool grayscale = false;
    bool progressive = false;
};

JpegPicture::JpegPicture() : data_(std::make_shared<DataSlot>()), settings_(jpegDefaults()) {}

JpegPicture::JpegPicture(const JpegPicture& other)
    : data_(other.data_),
      bitmap_(other.bitmap_ ? std::make_unique<Bitmap>(*other.bitmap_) : nullptr),
      decodeFailed_(other.decodeFailed_),
      settings_(other.settings_) {}

JpegPicture& JpegPicture::operator=(const JpegPicture& other) {
    if (this != &other) {
        data_ = other.data_;
        bitmap_ = other.bitmap_ ? std::make_unique<Bitmap>(*other.bitmap_) : nullptr;
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

void JpegPicture::loadData(const SharedBytes& bytes) {
    auto slot = std::make_shared<DataSlot>();
    slot->bytes = bytes ? bytes : shareBytes({});
    data_ = slot;
    bitmap_.reset();
    decodeFailed_ = false;
    if (!slot->bytes->empty()) {
        const JpegHeader header = readJpegHeader(*slot->bytes);
        slot->width = header.width;
        slot->height = header.height;
        slot->grayscale = header.grayscale;
        slot->progressive = header.progressive;
    }
}

void JpegPicture::assignBitmap(const Bitmap& bitmap) {
    assignBitmap(Bitmap(bitmap));
}

void JpegPicture::assignBitmap(Bitmap&& bitmap) {
    data_ = std::make_shared<DataSlot>();
    bitmap_ = std::make_unique<Bitmap>(std::move(bitmap));
    decodeFailed_ = false;
}

bool JpegPicture::empty() const {
    return !data_->bytes && (!bitmap_ || bitmap_->empty());
}

bool JpegPicture::hasData() const {
    return data_->bytes != nullptr;
}

int JpegPicture::width() const {
    return bitmap_ ? bitmap_->width() : data_->width;
}

int JpegPicture::height() const {
    return bitmap_ ? bitmap_->height() : data_->height;
}

bool JpegPicture::grayscale() const {
    return data_->grayscale;
}

bool JpegPicture::progressive() const {
    return data_->progressive;
}

SharedBytes JpegPicture::jpegData() {
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
        throw Error(cannotCreateFileMessage(fullPath(path), win32ErrorFromErrno(errno)));
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
    bitmap_ = std::make_unique<Bitmap>();
    if (data_->bytes) {
        try {
            decodeJpeg(*data_->bytes, settings_, *bitmap_);
        } catch (const Error&) {
            decodeFailed_ = true;
            throw;
        }
    }
    return *bitmap_;
}

bool JpegPicture::hasBitmap() const {
    return bitmap_ != nullptr;
}

bool JpegPicture::decodeFailed() const {
    return decodeFailed_;
}

}  // namespace velmora
