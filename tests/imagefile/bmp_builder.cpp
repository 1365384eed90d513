#include "tests/imagefile/bmp_builder.h"

#include <algorithm>

#include "base/little_endian.h"

namespace velmora::test {

Bytes buildBmp(const BmpLayout& layout) {
    const bool core = layout.headerLength == 12;
    Bytes header;
    le::put32(header, layout.headerLength);
    if (core) {
        le::put16(header, static_cast<std::uint16_t>(layout.width));
        le::put16(header, static_cast<std::uint16_t>(layout.height));
        le::put16(header, layout.planes);
        le::put16(header, layout.bitsPerPixel);
    } else {
        le::put32(header, static_cast<std::uint32_t>(layout.width));
        le::put32(header, static_cast<std::uint32_t>(layout.height));
        le::put16(header, layout.planes);
        le::put16(header, layout.bitsPerPixel);
        le::put32(header, layout.compression);
        le::put32(header, layout.imageSize);
        le::put32(header, 0);
        le::put32(header, 0);
        le::put32(header, layout.coloursUsed);
        le::put32(header, 0);
        const bool masksInside = layout.headerLength >= 52;
        if (masksInside) {
            for (std::uint32_t mask : layout.masks) {
                le::put32(header, mask);
            }
        }
        header.resize(layout.headerLength, 0);
        if (!masksInside) {
            for (std::uint32_t mask : layout.masks) {
                le::put32(header, mask);
            }
        }
    }
    for (std::uint32_t colour : layout.colours) {
        header.insert(header.end(), {static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8),
                                     static_cast<std::uint8_t>(colour >> 16)});
        if (!core) {
            header.push_back(0);
        }
    }
    header.resize(header.size() + layout.gapBeforePixels, 0);

    Bytes file{'B', 'M'};
    const auto pixelOffset = static_cast<std::uint32_t>(14 + header.size());
    le::put32(file, static_cast<std::uint32_t>(pixelOffset + layout.pixels.size()));
    le::put32(file, 0);
    le::put32(file, pixelOffset);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), layout.pixels.begin(), layout.pixels.end());
    return file;
}

Bytes packRows(const std::vector<std::vector<std::uint32_t>>& rows, unsigned bitsPerPixel, bool topDown) {
    Bytes out;
    const std::size_t count = rows.size();
    for (std::size_t i = 0; i < count; ++i) {
        const auto& row = rows[topDown ? i : count - 1 - i];
        Bytes packed((row.size() * bitsPerPixel + 31) / 32 * 4, 0);
        for (std::size_t x = 0; x < row.size(); ++x) {
            const std::uint32_t v = row[x];
            if (bitsPerPixel < 8) {
                const std::size_t bit = x * bitsPerPixel;
                packed[bit / 8] |= static_cast<std::uint8_t>(v << (8 - bitsPerPixel - bit % 8));
            } else {
                // 24 bits store 0xRRGGBB as blue, green, red: the same bytes as little-endian.
                for (unsigned b = 0; b < bitsPerPixel / 8; ++b) {
                    packed[x * bitsPerPixel / 8 + b] = static_cast<std::uint8_t>(v >> (8 * b));
                }
            }
        }
        out.insert(out.end(), packed.begin(), packed.end());
    }
    return out;
}

std::uint32_t rgbAt(const Bitmap& bitmap, int x, int y) {
    const std::uint8_t* p = bitmap.scanLine(y) + 3 * x;
    return static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
}

std::vector<std::vector<std::uint32_t>> rgbRows(const Bitmap& bitmap) {
    std::vector<std::vector<std::uint32_t>> rows(static_cast<std::size_t>(bitmap.height()));
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            rows[static_cast<std::size_t>(y)].push_back(rgbAt(bitmap, x, y));
        }
    }
    return rows;
}

}  // namespace velmora::test
