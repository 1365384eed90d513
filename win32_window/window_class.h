#pragma once
// Registering a window class of this program's once per process.
#include <windows.h>

namespace velmora::win32 {

// Registers name (dialog-coloured background, the cursor given) unless it is already.
void registerWindowClass(const wchar_t* name, WNDPROC procedure, const wchar_t* cursor);

}  // namespace velmora::win32
