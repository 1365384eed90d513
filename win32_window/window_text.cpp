#include "win32_window/window_text.h"

#include "base/utf16.h"

namespace velmora::win32 {

std::string windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    return fromUtf16(text.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

void setWindowText(HWND window, const std::string& text) { SetWindowTextW(window, toUtf16(text).c_str()); }

std::wstring withCrLf(const std::wstring& text) {
    std::wstring converted;
    converted.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) converted += L'\r';
        converted += text[i];
    }
    return converted;
}

INT_PTR redLabelColours(HDC dc) {
    SetTextColor(dc, RGB(255, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace velmora::win32
