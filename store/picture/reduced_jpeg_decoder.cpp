#include "store/picture/reduced_jpeg_decoder.h"

#include <exception>

#include "base/worker_thread.h"
#include "store/picture/covering_scale.h"
#include "store/picture/jpeg_scan_layout.h"
#include "store/picture/picture_limits.h"
#include "store/picture/reduced_bitmap.h"
#include "store/picture/reduced_scan_decoder.h"

namespace velmora {

namespace {

// shown: the size of the bitmap made ({0, 0}: the reduced picture's own).
bool decodeLayout(const Bytes& data, const std::optional<ScanLayout>& layout, unsigned denominator, Bitmap& target,
                  const ReducedDecodeOptions& options, CoverSize shown = {}) {
    if (denominator != 2 && denominator != 4 && denominator != 8) return false;
    if (!layout || data.size() - layout->entropyStart < options.minimumBytes) return false;
    const bool twoThreads = options.twoThreads;
    // Every block takes at least two bits (its DC code and an end of block): fewer
    // bytes are a cut-off stream, left to libjpeg before any plane is allocated.
    const std::size_t blocks = layout->mcuCount() * layout->mcu.size();
    if ((data.size() - layout->entropyStart) * 4 < blocks) return false;
    const int width = static_cast<int>((static_cast<unsigned>(layout->width) + denominator - 1) / denominator);
    const int height = static_cast<int>((static_cast<unsigned>(layout->height) + denominator - 1) / denominator);
    if (std::uint64_t(width) * std::uint64_t(height) > kMaxBitmapPixels) return false;

    std::vector<ReducedPlane> planes;
    if (!decodeReducedScan(data, *layout, static_cast<int>(8 / denominator), twoThreads, planes)) return false;
    const bool resized = shown.width > 0 && shown.height > 0;
    // Only the pixels shown are converted to colour, or quantized to grey levels.
    const int shownWidth = resized ? shown.width : width, shownHeight = resized ? shown.height : height;
    const SampleGrid grid = sampleGrid(width, height, shownWidth, shownHeight);
    if (layout->grayscale()) {
        Bitmap grey(shownWidth, shownHeight, Bitmap::Format::Indexed8, Bitmap::Fill::Unset);
        if (resized) {
            quantizedGreyFromPlane(pickedSamples(planes[0], grid), grey);
        } else {
            quantizedGreyFromPlane(planes[0], grey);
        }
        target = std::move(grey);
        return true;
    }
    Bitmap colour(shownWidth, shownHeight, Bitmap::Format::Bgr24, Bitmap::Fill::Unset);
    if (twoThreads) {
        runSideBySide([&] { colourRowsFromPlanes(*layout, planes, grid, colour, 0, shownHeight / 2); },
                      [&] { colourRowsFromPlanes(*layout, planes, grid, colour, shownHeight / 2, shownHeight); });
    } else {
        colourRowsFromPlanes(*layout, planes, grid, colour, 0, shownHeight);
    }
    target = std::move(colour);
    return true;
}

// Memory that runs out leaves the picture to libjpeg (every thread started before is
// joined by then), which reports it as it always has.
bool decodeOrLeave(const Bytes& data, const std::optional<ScanLayout>& layout, unsigned denominator,
                   Bitmap& target, const ReducedDecodeOptions& options, CoverSize shown = {}) {
    try {
        return decodeLayout(data, layout, denominator, target, options, shown);
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

bool decodeReducedBaseline(const Bytes& data, unsigned denominator, Bitmap& target,
                           const ReducedDecodeOptions& options) {
    return decodeOrLeave(data, readBaselineLayout(data), denominator, target, options);
}

bool decodeReducedBaselineCovering(const Bytes& data, CoverSize cover, Bitmap& target, CoverSize shown) {
    const std::optional<ScanLayout> layout = readBaselineLayout(data);
    if (!layout) return false;
    const unsigned denominator = coveringDenominator(static_cast<std::uint32_t>(layout->width),
                                                     static_cast<std::uint32_t>(layout->height), cover.width,
                                                     cover.height);
    return decodeOrLeave(data, layout, denominator, target, ReducedDecodeOptions{}, shown);
}

}  // namespace velmora
