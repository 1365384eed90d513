#pragma once
// Draws a store Bitmap (24-bit BGR or 8-bit with palette, rows top first, padded to
// 4 bytes: already the layout of a DIB) on a device context at x, y, 1:1.
#include <windows.h>

#include "store/picture/bitmap.h"

namespace velmora::win32 {

void paintBitmap(HDC dc, const Bitmap& bitmap, int x, int y);
// The same, stretched over target (nearest pixel).
void paintBitmap(HDC dc, const Bitmap& bitmap, const RECT& target);

}  // namespace velmora::win32
