#pragma once
// The modal windows open on this thread, newest last. A message box or a progress
// window that a command shows while one is open belongs to the newest: owned by and
// modal to it, so closing the box re-enables that window, not the main window under it
// (which would leave the main window usable and the dialog behind it).
#include <windows.h>

namespace velmora::win32 {

void modalOpened(HWND window);
void modalClosed(HWND window);
// The newest open modal window, or otherwise when none is open.
HWND newestModal(HWND otherwise);

}  // namespace velmora::win32
