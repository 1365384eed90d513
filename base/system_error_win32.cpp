#include "base/system_error.h"

#include <windows.h>

#include "base/utf16.h"

namespace velmora {

std::string win32ErrorText(unsigned code) {
    // The system's own text (neutral language), at most 256 characters, without its
    // closing blanks, line break and full stops.
    wchar_t buffer[256];
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, 256, nullptr);
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
    if (text.empty()) return "Unknown error " + std::to_string(code);
    return fromUtf16(text);
}

}  // namespace velmora
