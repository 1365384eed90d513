#include "win32_window/win32_clipboard.h"

#include <cstring>
#include <new>
#include <optional>

#include "base/error.h"
#include "win32_window/dib_format.h"
#include "win32_window/wic_image_decoder.h"

namespace velmora::win32 {

namespace {

constexpr const char* kCannotOpen = "Cannot open clipboard";
constexpr const char* kUnsupported = "Unsupported clipboard format";
// Another program may hold the clipboard for a moment: a few tries before giving up.
constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMilliseconds = 10;

UINT pngFormat() {
    static const UINT format = RegisterClipboardFormatW(L"PNG");
    return format;
}

// Windows puts data on the clipboard only for a window that opened it: without an owner
// of its own, a hidden message-only window of this thread opens it.
HWND clipboardWindow(HWND owner) {
    if (owner) return owner;
    thread_local const HWND hidden =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    return hidden;
}

// Holds the clipboard open for one transfer.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) {
        owner = clipboardWindow(owner);
        for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
            if (OpenClipboard(owner)) return;
            Sleep(kOpenRetryMilliseconds);
        }
        throw Error(kCannotOpen);
    }
    ~OpenClipboardScope() { CloseClipboard(); }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
};

// A copy of a clipboard format's bytes (the clipboard is open), or nothing.
std::optional<Bytes> formatBytes(UINT format) {
    if (!IsClipboardFormatAvailable(format)) return std::nullopt;
    HANDLE data = GetClipboardData(format);
    if (!data) return std::nullopt;
    const SIZE_T size = GlobalSize(data);
    const void* bytes = GlobalLock(data);
    if (!bytes) return std::nullopt;
    Bytes copy(static_cast<const std::uint8_t*>(bytes), static_cast<const std::uint8_t*>(bytes) + size);
    GlobalUnlock(data);
    return copy;
}

// A global block holding bytes, for SetClipboardData (which then owns it).
HGLOBAL globalCopy(const Bytes& bytes) {
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!global) throw std::bad_alloc();
    void* at = GlobalLock(global);
    std::memcpy(at, bytes.data(), bytes.size());
    GlobalUnlock(global);
    return global;
}

void putFormat(UINT format, const Bytes& bytes) {
    HGLOBAL global = globalCopy(bytes);
    if (!SetClipboardData(format, global)) GlobalFree(global);
}

[[noreturn]] void unsupported() { throw Error(kUnsupported); }

}  // namespace

bool Win32Clipboard::hasBitmap() {
    for (UINT format : {UINT{CF_DIBV5}, UINT{CF_DIB}, UINT{CF_BITMAP}, pngFormat()}) {
        if (IsClipboardFormatAvailable(format)) return true;
    }
    return false;
}

void Win32Clipboard::clear() {
    OpenClipboardScope open(owner_);
    EmptyClipboard();
}

void Win32Clipboard::setBitmap(const Bitmap& bitmap) {
    // Both forms are made before the clipboard is touched, so a failure leaves it as it was.
    const Bytes dib = bitmap.empty() ? Bytes() : dibOf(bitmap, false);
    const Bytes dibV5 = bitmap.empty() ? Bytes() : dibOf(bitmap, true);
    OpenClipboardScope open(owner_);
    EmptyClipboard();
    if (bitmap.empty()) return;
    putFormat(CF_DIB, dib);
    putFormat(CF_DIBV5, dibV5);
}

Bitmap Win32Clipboard::bitmap() {
    // The first of the bitmap forms in the clipboard's order is the one the other program
    // put there; the system derives the rest from it, some systems (Wine) not faithfully.
    UINT format = 0;
    std::optional<Bytes> bytes;
    {
        OpenClipboardScope open(owner_);
        for (UINT offered = EnumClipboardFormats(0); offered != 0 && !bytes; offered = EnumClipboardFormats(offered)) {
            if (offered == CF_DIBV5 || offered == CF_DIB || offered == pngFormat()) {
                format = offered;
                bytes = formatBytes(offered);
            }
        }
    }
    if (!bytes) unsupported();
    if (format == pngFormat()) {
        std::optional<Bitmap> png = decodeWithWic(*bytes);
        if (!png) unsupported();
        return std::move(*png);
    }
    return bitmapFromDib(bytes->data(), bytes->size());
}

}  // namespace velmora::win32
