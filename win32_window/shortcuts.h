#pragma once
// The command table's shortcuts ("Ctrl+Z") as virtual keys.
#include <windows.h>

namespace velmora::win32 {

// True when a key press of virtualKey, with Ctrl held or not, is the shortcut.
bool matchesShortcut(const char* shortcut, WPARAM virtualKey, bool ctrl);

}  // namespace velmora::win32
