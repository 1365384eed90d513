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

// For each pixel column and row of the target, the column and row of the reduced
// picture it shows (the same, or picked by nearestSource() for a smaller target).
struct SampleGrid {
    std::vector<int> columns;
    std::vector<int> rows;
};
SampleGrid sampleGrid(int reducedWidth, int reducedHeight, int width, int height);

// Rows [firstRow, endRow) of a 24-bit `target`, already sized, from three planes.
void colourRowsFromPlanes(const ScanLayout& layout, const std::vector<ReducedPlane>& planes, const SampleGrid& grid,
                          Bitmap& target, int firstRow, int endRow);

// The plane's samples at the grid's columns and rows.
ReducedPlane pickedSamples(const ReducedPlane& plane, const SampleGrid& grid);

// The whole 8-bit `target`, already sized, from one grey plane; sets its palette.
void quantizedGreyFromPlane(const ReducedPlane& plane, Bitmap& target);

}  // namespace velmora
