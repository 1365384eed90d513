#include "store/picture/reduced_jpeg_decoder.h"

#include <thread>

#include "store/picture/covering_scale.h"
#include "store/picture/jpeg_scan_layout.h"
#include "store/picture/picture_limits.h"
#include "store/picture/reduced_bitmap.h"
#include "store/picture/reduced_scan_decoder.h"

namespace velmora {

namespace {

bool decodeLayout(const Bytes& data, const std::optional<ScanLayout>& layout, unsigned denominator, Bitmap& target,
                  const ReducedDecodeOptions& options) {
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
    if (layout->grayscale()) {
        Bitmap grey(width, height, Bitmap::Format::Indexed8, Bitmap::Fill::Unset);
        quantizedGreyFromPlane(planes[0], grey);
        target = std::move(grey);
        return true;
    }
    Bitmap colour(width, height, Bitmap::Format::Bgr24, Bitmap::Fill::Unset);
    if (twoThreads) {
        std::thread lower([&] { colourRowsFromPlanes(*layout, planes, colour, height / 2, height); });
        colourRowsFromPlanes(*layout, planes, colour, 0, height / 2);
        lower.join();
    } else {
        colourRowsFromPlanes(*layout, planes, colour, 0, height);
    }
    target = std::move(colour);
    return true;
}

}  // namespace

bool decodeReducedBaseline(const Bytes& data, unsigned denominator, Bitmap& target,
                           const ReducedDecodeOptions& options) {
    return decodeLayout(data, readBaselineLayout(data), denominator, target, options);
}

bool decodeReducedBaselineCovering(const Bytes& data, CoverSize cover, Bitmap& target) {
    const std::optional<ScanLayout> layout = readBaselineLayout(data);
    if (!layout) return false;
    const unsigned denominator = coveringDenominator(static_cast<std::uint32_t>(layout->width),
                                                     static_cast<std::uint32_t>(layout->height), cover.width,
                                                     cover.height);
    return decodeLayout(data, layout, denominator, target, ReducedDecodeOptions{});
}

}  // namespace velmora
