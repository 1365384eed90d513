#pragma once
// Reduced planes to the bitmap libjpeg would give for them: YCbCr converted with
// libjpeg's integer tables, subsampled colour repeated over its pixels (as libjpeg
// does without fancy upsampling); grey quantized to libjpeg's 236 levels with its
// Floyd-Steinberg dithering.

#include <vector>

#include "store/picture/bitmap.h"
#include "store/picture/jpeg_scan_layout.h"
#include "store/picture/reduced_scan_decoder.h"

namespace velmora {

// Rows [firstRow, endRow) of a 24-bit `target`, already sized, from three planes.
void colourRowsFromPlanes(const ScanLayout& layout, const std::vector<ReducedPlane>& planes, Bitmap& target,
                          int firstRow, int endRow);

// The whole 8-bit `target`, already sized, from one grey plane; sets its palette.
void quantizedGreyFromPlane(const ReducedPlane& plane, Bitmap& target);

}  // namespace velmora
