#pragma once
// The layout is designed in pixels at 96 dots per inch; on a denser monitor every
// position and size is scaled by its DPI (the program declares per-monitor awareness,
// so the system never stretches its bitmaps). Where the system cannot tell (older
// systems, Wine), the screen's own DPI is used.
#include <windows.h>

namespace velmora::win32 {

int dpiOf(HWND window);
inline int scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }
inline double pixelRatioOf(int dpi) { return dpi / 96.0; }
// The main window's font, pixels high at 96 DPI; the caller deletes it.
HFONT windowFont(int pixels, int dpi);
// Declares per-monitor-v2 awareness when the manifest has not (tolerates refusal).
void declareDpiAwareness();

}  // namespace velmora::win32
