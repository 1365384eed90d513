#pragma once
// Where the small windows go: centred on the screen's work area, or on their owner.
#include <windows.h>

namespace velmora::win32 {

// Moves window (keeping its size) to the middle of the primary screen's work area.
void centreOnWorkArea(HWND window);
// Moves window to the middle of owner's frame; with no owner, of the work area.
void centreOnOwner(HWND window, HWND owner);

}  // namespace velmora::win32
