#pragma once
// Generated pictures for sample files, tests and benchmarks: smooth gradients with
// texture and edges, so that JPEG sizes and decode times resemble photographs.

#include "base/bytes.h"
#include "store/picture/bitmap.h"

namespace velmora::tools {

// A photo-like 24-bit bitmap; `variant` changes its colours and shapes.
Bitmap syntheticBitmap(int width, int height, int variant = 0);
// The same bitmap encoded by the picture object (baseline JFIF, quality 90).
Bytes syntheticJpeg(int width, int height, int variant = 0);

}  // namespace velmora::tools
