#pragma once
// The wallpaper's pixels for a desktop that draws the picture itself, decoded from the
// JPEG data at the size it asks for, so that nothing is read back from the bitmap file.

#include "base/bytes.h"
#include "platform/wallpaper_pixels.h"

namespace velmora {

// The picture of these JPEG data (upright by their orientation), at the largest DCT
// reduction that still covers what is asked; none for data whose headers do not parse.
platform::WallpaperPixels picturePixels(const SharedBytes& jpeg);

}  // namespace velmora
