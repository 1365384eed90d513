#pragma once
// Where the viewer opens and how large it is, for every window: the window at 18,17
// on the screen, its client area as large as the picture, in logical pixels. A window on a
// denser screen scales it by its device pixel ratio (inDevicePixels()), the picture
// with it, so the viewer covers the same part of any screen.

#include "browser/window_layout.h"

namespace velmora {

DialogRect viewerPlace(int pictureWidth, int pictureHeight);

}  // namespace velmora
