#include "tests/win32_driver/window_search.h"

#include "tests/win32_driver/step.h"
#include "tests/win32_driver/window_messages.h"

namespace velmora::driver {

namespace {

struct TopLevelSearch {
    const WindowQuery* query;
    HWND found = nullptr;
};

BOOL CALLBACK visitTopLevel(HWND window, LPARAM state) {
    auto& search = *reinterpret_cast<TopLevelSearch*>(state);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search.query->processId || !IsWindowVisible(window)) return TRUE;
    if (classOf(window) != search.query->className) return TRUE;
    if (search.query->accept && !search.query->accept(window)) return TRUE;
    search.found = window;
    return FALSE;
}

struct ControlSearch {
    int id;
    const wchar_t* className;
    HWND found = nullptr;
};

BOOL CALLBACK visitControl(HWND window, LPARAM state) {
    auto& search = *reinterpret_cast<ControlSearch*>(state);
    if (GetDlgCtrlID(window) != search.id) return TRUE;
    if (search.className && classOf(window) != search.className) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

HWND findWindow(const WindowQuery& query) {
    TopLevelSearch search{&query};
    EnumWindows(visitTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForWindow(const WindowQuery& query, const std::string& what) {
    HWND found = nullptr;
    waitUntil([&] { return (found = findWindow(query)) != nullptr; }, what + " to appear");
    return found;
}

void waitUntilGone(HWND window, const std::string& what) {
    waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, what + " to close");
}

HWND findControl(HWND parent, int id, const wchar_t* className) {
    // EnumChildWindows walks every depth.
    ControlSearch search{id, className};
    EnumChildWindows(parent, visitControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND control(HWND parent, int id, const std::string& what) {
    HWND found = findControl(parent, id);
    require(found != nullptr, "no " + what + " (control id " + std::to_string(id) + ")");
    return found;
}

HWND ownerOf(HWND window) { return GetWindow(window, GW_OWNER); }

}  // namespace velmora::driver
