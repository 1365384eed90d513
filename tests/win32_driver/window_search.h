#pragma once
// Finding the windows of the program under test: top-level windows by process, class
// and owner, controls by id anywhere below a window, and waiting for them to come and go.

#include <windows.h>

#include <functional>
#include <string>

namespace velmora::driver {

struct WindowQuery {
    DWORD processId = 0;
    std::wstring className;
    // Only windows for which this holds (all when empty).
    std::function<bool(HWND)> accept{};
};

// A visible top-level window that matches, else null.
HWND findWindow(const WindowQuery& query);
// Waits for one within kPatience; raises StepFailure naming what otherwise.
HWND waitForWindow(const WindowQuery& query, const std::string& what);
// Waits until window is destroyed or hidden.
void waitUntilGone(HWND window, const std::string& what);

// The first control with id below parent at any depth (of className when given), else null.
HWND findControl(HWND parent, int id, const wchar_t* className = nullptr);
// The same, raising StepFailure naming what when there is none.
HWND control(HWND parent, int id, const std::string& what);

HWND ownerOf(HWND window);

}  // namespace velmora::driver
