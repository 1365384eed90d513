#include "tests/support/oriented_sample.h"

#include <cstdlib>

#include "store/picture/jpeg_picture.h"

namespace velmora::test {

Rgb blockColour(int column, int row) {
    static constexpr Rgb kColours[kBlockRows][kBlockColumns] = {
        {{230, 30, 30}, {30, 200, 30}, {30, 30, 230}},
        {{240, 240, 40}, {240, 240, 240}, {20, 20, 20}},
    };
    return kColours[row][column];
}

Bytes exifSegment(int orientation, bool bigEndian) {
    // "Exif\0\0", a TIFF header, then IFD0 with a resolution unit and the orientation.
    Bytes segment{0xFF, 0xE1, 0, 6 + 2 + 38, 'E', 'x', 'i', 'f', 0, 0};
    auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            const int shift = 8 * (bigEndian ? bytes - 1 - i : i);
            segment.push_back(static_cast<std::uint8_t>(value >> shift));
        }
    };
    put(bigEndian ? 0x4D4D : 0x4949, 2);
    put(42, 2);
    put(8, 4);
    put(2, 2);
    for (std::uint32_t tag : {0x0128u, 0x0112u}) {
        put(tag, 2);
        put(3, 2);  // SHORT
        put(1, 4);  // one value, in the first half of the value field
        put(tag == 0x0112 ? static_cast<std::uint32_t>(orientation) : 2, 2);
        put(0, 2);
    }
    put(0, 4);  // no next IFD
    return segment;
}

Bytes insertAfterSoi(const Bytes& jpeg, const Bytes& segment) {
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), segment.begin(), segment.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

Bytes blockJpeg() {
    Bitmap blocks(kBlockColumns * kBlock, kBlockRows * kBlock, Bitmap::Format::Bgr24);
    for (int y = 0; y < blocks.height(); ++y) {
        for (int x = 0; x < blocks.width(); ++x) {
            const Rgb colour = blockColour(x / kBlock, y / kBlock);
            std::uint8_t* pixel = blocks.scanLine(y) + x * 3;
            pixel[0] = colour.blue;
            pixel[1] = colour.green;
            pixel[2] = colour.red;
        }
    }
    JpegPicture picture;
    picture.assignBitmap(std::move(blocks));
    return *picture.jpegData();
}

Bytes orientedJpeg(int orientation, bool bigEndian) {
    return insertAfterSoi(blockJpeg(), exifSegment(orientation, bigEndian));
}

int uprightWidth(int orientation) { return (orientation >= 5 ? kBlockRows : kBlockColumns) * kBlock; }
int uprightHeight(int orientation) { return (orientation >= 5 ? kBlockColumns : kBlockRows) * kBlock; }

std::string uprightMismatch(int orientation, const std::function<Rgb(int x, int y)>& pixelAt) {
    // The stored blocks are A B C over D E F; each orientation's upright picture, row by
    // row, as the EXIF definition describes it.
    static const char* const kUpright[9] = {
        "", "ABC DEF", "CBA FED", "FED CBA", "DEF ABC", "AD BE CF", "DA EB FC", "FC EB DA", "CF BE AD",
    };
    std::string report;
    int row = 0, column = 0;
    for (const char* letter = kUpright[orientation]; *letter; ++letter) {
        if (*letter == ' ') {
            ++row;
            column = 0;
            continue;
        }
        const int index = *letter - 'A';
        const Rgb expected = blockColour(index % kBlockColumns, index / kBlockColumns);
        const int x = column * kBlock + kBlock / 2;
        const int y = row * kBlock + kBlock / 2;
        const Rgb seen = pixelAt(x, y);
        if (std::abs(seen.red - expected.red) > 40 || std::abs(seen.green - expected.green) > 40 ||
            std::abs(seen.blue - expected.blue) > 40) {
            report += "block " + std::string(1, *letter) + " expected at (" + std::to_string(x) + "," +
                      std::to_string(y) + ") ";
        }
        ++column;
    }
    return report;
}

std::string uprightMismatch(int orientation, const Bitmap& bitmap) {
    if (bitmap.width() != uprightWidth(orientation) || bitmap.height() != uprightHeight(orientation)) {
        return "size " + std::to_string(bitmap.width()) + "x" + std::to_string(bitmap.height());
    }
    const Bitmap bgr = bitmap.toBgr24();
    return uprightMismatch(orientation, [&bgr](int x, int y) {
        const std::uint8_t* pixel = bgr.scanLine(y) + x * 3;
        return Rgb{pixel[2], pixel[1], pixel[0]};
    });
}

}  // namespace velmora::test
