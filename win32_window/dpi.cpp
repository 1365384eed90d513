#include "win32_window/dpi.h"

namespace velmora::win32 {

namespace {

template <typename Function>
Function user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

int dpiOf(HWND window) {
    // GetDpiForWindow exists from Windows 10 1607 on; looked up so older systems run.
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (UINT dpi = getDpiForWindow(window); dpi > 0) return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

HFONT windowFont(int pixels, int dpi) {
    // A face with Chinese glyphs everywhere; Wine maps it to its own CJK font.
    return CreateFontW(-scaled(pixels, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS,
                       L"Microsoft YaHei");
}

void declareDpiAwareness() {
    using SetContextFunction = BOOL(WINAPI*)(HANDLE);
    static const auto setContext = user32Function<SetContextFunction>("SetProcessDpiAwarenessContext");
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2; Wine refuses it, which is harmless.
    if (setContext) setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));
}

}  // namespace velmora::win32
