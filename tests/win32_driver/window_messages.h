#pragma once
// Messages to the windows of another process. Every send is bounded in time, so a
// program that hangs or crashes fails the step instead of hanging the driver; anything
// that may open a modal window is posted, since a send would wait for it to close.

#include <windows.h>

#include <string>

namespace velmora::driver {

// SendMessageTimeoutW; raises StepFailure when the window does not answer in time.
LRESULT sendTo(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
void postTo(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

std::wstring textOf(HWND window);
void setTextOf(HWND window, const std::wstring& text);
std::wstring classOf(HWND window);

// Presses a button as a click does (posted BM_CLICK).
void pressButton(HWND button);
// Runs command id of window as its menu would (posted WM_COMMAND).
void postCommand(HWND window, int id);

}  // namespace velmora::driver
