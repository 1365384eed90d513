#pragma once
// Writes a 24-bit bitmap as a PNG file through the Windows Imaging Component.

#include <string>

#include "store/picture/bitmap.h"

namespace velmora::driver {

// Replaces path; raises StepFailure naming the failing call.
void writePng(const std::wstring& path, const Bitmap& bitmap);

}  // namespace velmora::driver
