#pragma once
// The picture box on screen against what the core makes of the same picture for it:
// the box black, the picture's display bitmap at its fitted place (centred, shrunk
// proportionally, never enlarged) in the picture's rectangle.

#include <windows.h>

#include "base/bytes.h"
#include "store/picture/bitmap.h"

namespace velmora::driver {

// The screen's DPI as this process sees it.
int screenDpi();
// What the box's client area should show for a picture with these JPEG bytes, with the
// layout scaled for dpi and the picture decoded for the device pixels of its place.
Bitmap expectedPictureBox(HWND pictureBox, const Bytes& jpeg, int dpi);
// The mean difference per channel between the box on screen and expectedPictureBox().
double pictureBoxDifference(HWND pictureBox, const Bytes& jpeg, int dpi);

}  // namespace velmora::driver
