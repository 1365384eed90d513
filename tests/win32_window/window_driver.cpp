#include "window_driver.h"

#include <thread>

#include <gtest/gtest.h>

#include "base/utf16.h"

namespace velmora::win32 {

bool windowsCanBeCreated() {
    static const bool can = [] {
        // Wine without a window manager: unmanaged windows close at once (managed ones
        // wait two seconds for one). Nothing on Windows.
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), 2 * sizeof(wchar_t));
            RegCloseKey(key);
        }
        HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        if (probe) DestroyWindow(probe);
        if (!probe && GetEnvironmentVariableW(L"VELMORA_REQUIRE_DISPLAY", nullptr, 0) > 0) {
            ADD_FAILURE() << "no window could be made on the display given";
        }
        return probe != nullptr;
    }();
    return can;
}

LRESULT sendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

std::wstring textOf(HWND window) {
    wchar_t text[512] = {};
    sendTo(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

HWND waitForWindow(DWORD thread, const wchar_t* windowClass, const std::wstring& caption, HWND other) {
    struct Search {
        const wchar_t* windowClass;
        const std::wstring& caption;
        HWND other;
        HWND found = nullptr;
    } search{windowClass, caption, other};
    for (int i = 0; i < 1000 && !search.found; ++i) {
        EnumThreadWindows(
            thread,
            [](HWND window, LPARAM parameter) -> BOOL {
                auto* s = reinterpret_cast<Search*>(parameter);
                wchar_t className[64] = {};
                GetClassNameW(window, className, 64);
                if (std::wstring(className) == s->windowClass && IsWindowVisible(window) && window != s->other &&
                    (s->caption.empty() || textOf(window) == s->caption)) {
                    s->found = window;
                }
                return s->found == nullptr;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(10);
    }
    return search.found;
}

void driven(const std::function<void()>& show, const std::function<void(DWORD uiThread)>& drive) {
    const DWORD uiThread = GetCurrentThreadId();
    std::thread driver([&] { drive(uiThread); });
    show();
    driver.join();
}

std::wstring wide(const char* utf8) { return toUtf16(utf8); }

}  // namespace velmora::win32
