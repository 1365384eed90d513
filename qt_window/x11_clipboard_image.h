#pragma once
// Pictures another program offers on the X clipboard, taken off the window's thread
// (transfer_progress.h): the transfer is capped, can be cancelled, and a stalled owner
// is given up; the bytes are decoded by Qt's image readers on the same worker.

#include <optional>
#include <string>

#include "store/picture/bitmap.h"

namespace velmora {

// Whether the clipboard offers a type Qt's image readers read; false also when there
// is no X display or its owner does not answer.
bool x11ClipboardOffersImage();

// The offered picture (PNG, then BMP, then any other readable type), as a 24-bit bitmap;
// none when it cannot be had: not offered, over the cap, cancelled, the owner stalled,
// or bytes that do not decode. Raises "Bitmap image is not valid" for a picture beyond
// what a bitmap holds.
std::optional<Bitmap> x11ClipboardImage();

}  // namespace velmora
