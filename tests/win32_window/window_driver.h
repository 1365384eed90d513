#pragma once
// Driving this process's windows from a second thread, as a user would: find them by
// class and caption, read their texts, press their buttons through messages.
#include <windows.h>

#include <functional>
#include <string>

namespace velmora::win32 {

// Windows need a display (under Wine an X server); a test without one is skipped,
// unless VELMORA_REQUIRE_DISPLAY says that one was given, where that fails.
bool windowsCanBeCreated();
#define VELMORA_NEEDS_DISPLAY() \
    if (!::velmora::win32::windowsCanBeCreated()) GTEST_SKIP() << "no display"

std::wstring textOf(HWND window);
// A visible window of thread with that class and caption (any caption when empty),
// other than other, once it is there (null after ten seconds).
HWND waitForWindow(DWORD thread, const wchar_t* windowClass, const std::wstring& caption, HWND other = nullptr);
inline HWND waitForDialog(DWORD thread, const std::wstring& caption, HWND other = nullptr) {
    return waitForWindow(thread, L"#32770", caption, other);
}
// Sends a message, as another program would, never waiting more than five seconds.
LRESULT sendTo(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Runs show() on this thread while drive() answers it from another.
void driven(const std::function<void()>& show, const std::function<void(DWORD uiThread)>& drive);

std::wstring wide(const char* utf8);

// A top-level window for the others to belong to.
struct OwnerWindow {
    OwnerWindow() {
        window = CreateWindowExW(0, L"STATIC", L"Velmora    [ C:\\相册.vlm ]", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                 400, 300, nullptr, nullptr, nullptr, nullptr);
    }
    ~OwnerWindow() { DestroyWindow(window); }
    HWND window;
};

}  // namespace velmora::win32
