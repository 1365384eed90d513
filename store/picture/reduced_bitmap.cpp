#include "store/picture/reduced_bitmap.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "store/picture/reduced_block.h"
#include "store/picture/scale_nearest.h"

namespace velmora {
namespace {

constexpr int kGreyLevels = 236;

struct YccTables {
    std::array<int, 256> crRed{}, cbBlue{}, crGreen{}, cbGreen{};
    YccTables() {
        constexpr int kBits = 16;
        constexpr std::int64_t kHalf = std::int64_t{1} << (kBits - 1);
        auto fix = [](double x) { return static_cast<std::int64_t>(x * (1 << kBits) + 0.5); };
        for (int i = 0; i < 256; ++i) {
            const std::int64_t x = i - 128;
            crRed[static_cast<std::size_t>(i)] = static_cast<int>((fix(1.40200) * x + kHalf) >> kBits);
            cbBlue[static_cast<std::size_t>(i)] = static_cast<int>((fix(1.77200) * x + kHalf) >> kBits);
            crGreen[static_cast<std::size_t>(i)] = static_cast<int>(-fix(0.71414) * x);
            cbGreen[static_cast<std::size_t>(i)] = static_cast<int>(-fix(0.34414) * x + kHalf);
        }
    }
};

const YccTables& yccTables() {
    static const YccTables tables;
    return tables;
}

// For each output column, the sample column of a component sampled `factor` of `maximum`.
std::vector<int> sampleColumns(const std::vector<int>& columns, int factor, int maximum) {
    std::vector<int> samples(columns.size());
    for (std::size_t x = 0; x < columns.size(); ++x) samples[x] = columns[x] * factor / maximum;
    return samples;
}

int greyLevel(int index) {
    return (index * 255 + (kGreyLevels - 1) / 2) / (kGreyLevels - 1);
}

// The highest input value quantized to level `index`.
int highestInputOf(int index) {
    return ((2 * index + 1) * 255 + (kGreyLevels - 1)) / (2 * (kGreyLevels - 1));
}

// The bytes past a row's pixels, so that equal pictures are equal bitmaps.
void clearRowPadding(const Bitmap& target, std::uint8_t* row) {
    const std::size_t used = static_cast<std::size_t>(target.width()) * (target.bitsPerPixel() / 8);
    std::fill(row + used, row + target.bytesPerLine(), std::uint8_t{0});
}

}  // namespace

SampleGrid sampleGrid(int reducedWidth, int reducedHeight, int width, int height) {
    SampleGrid grid;
    for (int x = 0; x < width; ++x) grid.columns.push_back(nearestSource(x, width, reducedWidth));
    for (int y = 0; y < height; ++y) grid.rows.push_back(nearestSource(y, height, reducedHeight));
    return grid;
}

void colourRowsFromPlanes(const ScanLayout& layout, const std::vector<ReducedPlane>& planes, const SampleGrid& grid,
                          Bitmap& target, int firstRow, int endRow) {
    const YccTables& tables = yccTables();
    const int width = target.width();
    std::array<std::vector<int>, 3> columns;
    for (std::size_t c = 0; c < 3; ++c) {
        columns[c] = sampleColumns(grid.columns, layout.components[c].horizontal, layout.maxHorizontal);
    }
    for (int y = firstRow; y < endRow; ++y) {
        std::array<const std::uint8_t*, 3> rows{};
        for (std::size_t c = 0; c < 3; ++c) {
            const int sampleRow = grid.rows[static_cast<std::size_t>(y)] * layout.components[c].vertical / layout.maxVertical;
            rows[c] = planes[c].samples.data() + static_cast<std::size_t>(sampleRow) * static_cast<std::size_t>(planes[c].width);
        }
        std::uint8_t* out = target.scanLine(y);
        clearRowPadding(target, out);
        for (int x = 0; x < width; ++x, out += 3) {
            const int luma = rows[0][columns[0][static_cast<std::size_t>(x)]];
            const std::size_t cb = rows[1][columns[1][static_cast<std::size_t>(x)]];
            const std::size_t cr = rows[2][columns[2][static_cast<std::size_t>(x)]];
            out[0] = clampSample(luma + tables.cbBlue[cb]);
            out[1] = clampSample(luma + ((tables.cbGreen[cb] + tables.crGreen[cr]) >> 16));
            out[2] = clampSample(luma + tables.crRed[cr]);
        }
    }
}

ReducedPlane pickedSamples(const ReducedPlane& plane, const SampleGrid& grid) {
    ReducedPlane picked;
    picked.width = static_cast<int>(grid.columns.size());
    picked.height = static_cast<int>(grid.rows.size());
    picked.samples.reserve(grid.columns.size() * grid.rows.size());
    for (int row : grid.rows) {
        const std::uint8_t* in = plane.samples.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(plane.width);
        for (int column : grid.columns) picked.samples.push_back(in[column]);
    }
    return picked;
}

void quantizedGreyFromPlane(const ReducedPlane& plane, Bitmap& target) {
    std::vector<PaletteEntry> palette;
    std::array<std::uint8_t, 256> nearest{};
    for (int index = 0, value = 0; index < kGreyLevels; ++index) {
        const auto level = static_cast<std::uint8_t>(greyLevel(index));
        palette.push_back({level, level, level});
        for (; value <= 255 && (value <= highestInputOf(index) || index == kGreyLevels - 1); ++value) {
            nearest[static_cast<std::size_t>(value)] = static_cast<std::uint8_t>(index);
        }
    }
    target.setPalette(palette);

    // Floyd-Steinberg in alternating directions, as libjpeg's one-pass quantizer does.
    const int width = target.width();
    std::vector<int> errors(static_cast<std::size_t>(width) + 2, 0);
    for (int y = 0; y < target.height(); ++y) {
        const bool backwards = y % 2 == 1;
        const int step = backwards ? -1 : 1;
        const std::uint8_t* in = plane.samples.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(plane.width);
        std::uint8_t* out = target.scanLine(y);
        clearRowPadding(target, out);
        int x = backwards ? width - 1 : 0;
        int* error = errors.data() + (backwards ? width + 1 : 0);
        int carried = 0, below = 0, belowBefore = 0;
        for (int n = 0; n < width; ++n, x += step, error += step) {
            int value = (carried + error[step] + 8) >> 4;
            value = clampSample(value + in[x]);
            const std::uint8_t index = nearest[static_cast<std::size_t>(value)];
            out[x] = index;
            const int remainder = value - palette[index].red;
            const int belowNext = remainder;
            int share = remainder * 3;
            error[0] = belowBefore + share;
            share += remainder * 2;
            belowBefore = below + share;
            below = belowNext;
            carried = share + remainder * 2;
        }
        error[0] = belowBefore;
    }
}

}  // namespace velmora
