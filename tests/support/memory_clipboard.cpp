#include "tests/support/memory_clipboard.h"

#include "base/error.h"

namespace velmora {

void MemoryClipboard::offerBitmap(const Bitmap& bitmap) {
    bitmap_ = bitmap;
    text_.reset();
}

void MemoryClipboard::offerText(const std::string& text) {
    text_ = text;
    bitmap_.reset();
}

void MemoryClipboard::open(const char* call) {
    calls_.emplace_back(call);
    if (onOpen) onOpen();
    if (locked_) {
        throw Error("Cannot open clipboard");
    }
}

bool MemoryClipboard::hasBitmap() {
    open("hasBitmap");
    return bitmap_.has_value() || unreadable_;
}

void MemoryClipboard::clear() {
    open("clear");
    bitmap_.reset();
    text_.reset();
}

void MemoryClipboard::setBitmap(const Bitmap& bitmap) {
    open("setBitmap");
    bitmap_ = bitmap;
    text_.reset();
}

Bitmap MemoryClipboard::bitmap() {
    open("bitmap");
    if (!bitmap_ || unreadable_) {
        throw Error("Unsupported clipboard format");
    }
    return *bitmap_;
}

}  // namespace velmora
