#include "base/utf16.h"

#include <windows.h>

namespace velmora {

std::wstring toUtf16(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string fromUtf16(const wchar_t* utf16, std::size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(length);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, utf16, size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16, size, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

std::string fromUtf16(const std::wstring& utf16) {
    return fromUtf16(utf16.data(), utf16.size());
}

}  // namespace velmora
