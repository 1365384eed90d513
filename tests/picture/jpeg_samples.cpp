#include "tests/picture/jpeg_samples.h"

#include <algorithm>
#include <stdexcept>

#include "tests/picture/libjpeg_reference.h"

namespace velmora::test {
namespace {

J_COLOR_SPACE inputSpace(SampleSpace space) {
    switch (space) {
    case SampleSpace::Gray: return JCS_GRAYSCALE;
    case SampleSpace::Rgb: return JCS_RGB;
    case SampleSpace::Cmyk:
    case SampleSpace::Ycck: return JCS_CMYK;
    }
    return JCS_RGB;
}

int componentCount(SampleSpace space) {
    return space == SampleSpace::Gray ? 1 : space == SampleSpace::Rgb ? 3 : 4;
}

}  // namespace

Bytes libjpegEncode(const SampleStream& sample) {
    const int components = componentCount(sample.space);
    LibjpegCompressor compressor(sample.width, sample.height, components, inputSpace(sample.space));
    jpeg_set_defaults(&compressor.cinfo);
    if (sample.space == SampleSpace::Ycck) {
        jpeg_set_colorspace(&compressor.cinfo, JCS_YCCK);
    }
    jpeg_set_quality(&compressor.cinfo, 95, TRUE);
    if (sample.progressive) {
        jpeg_simple_progression(&compressor.cinfo);
    }
    std::vector<std::uint8_t> row(static_cast<std::size_t>(sample.width * components));
    return compressor.finish([&](int y) {
        for (int x = 0; x < sample.width; ++x) {
            const std::vector<std::uint8_t> values = sample.pixel(x, y);
            std::copy_n(values.begin(), components, row.begin() + x * components);
        }
        return row.data();
    });
}

std::vector<Segment> segmentsUpToScan(const Bytes& jpeg) {
    std::vector<Segment> segments;
    if (jpeg.size() < 2 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) {
        throw std::runtime_error("no start of image");
    }
    segments.push_back({0xD8, {}});
    std::size_t at = 2;
    while (at + 4 <= jpeg.size()) {
        if (jpeg[at] != 0xFF) {
            throw std::runtime_error("marker expected");
        }
        const std::uint8_t marker = jpeg[at + 1];
        const std::size_t length = static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (length < 2 || at + 2 + length > jpeg.size()) {
            throw std::runtime_error("bad segment length");
        }
        segments.push_back({marker, Bytes(jpeg.begin() + static_cast<long>(at + 4),
                                          jpeg.begin() + static_cast<long>(at + 2 + length))});
        if (marker == 0xDA) {
            break;
        }
        at += 2 + length;
    }
    return segments;
}

std::size_t markerOffset(const Bytes& jpeg, std::uint8_t marker) {
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) {
            return i;
        }
    }
    return jpeg.size();
}

Bitmap solidBitmap(int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    Bitmap bitmap(width, height, Bitmap::Format::Bgr24);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = blue;
            row[3 * x + 1] = green;
            row[3 * x + 2] = red;
        }
    }
    return bitmap;
}

}  // namespace velmora::test
