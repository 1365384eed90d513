#pragma once
// What the screen shows of a window, read back from the X server through the screen's
// device context (the window belongs to another process, so its own DC is out of reach).

#include <windows.h>

#include "store/picture/bitmap.h"

namespace velmora::driver {

// The pixels of a screen rectangle as a 24-bit bitmap, rows top first.
Bitmap captureScreen(const RECT& rect);
// A window's client area, and the whole window with its frame.
Bitmap captureClientArea(HWND window);
Bitmap captureWindow(HWND window);

// The mean difference per channel between expected and the part of shot whose top
// left corner is at left, top (expected must lie inside shot).
double meanDifference(const Bitmap& shot, int left, int top, const Bitmap& expected);

}  // namespace velmora::driver
