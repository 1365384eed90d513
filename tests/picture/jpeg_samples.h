#pragma once
// JPEG streams for the picture tests, made with libjpeg directly so that they do not
// depend on the code under test (grayscale, CMYK, progressive), and a reader of
// marker segments.

#include <cstdint>
#include <functional>
#include <vector>

#include "base/bytes.h"
#include "store/picture/bitmap.h"

namespace velmora::test {

// Sample values of one pixel, in the input colour space's order.
using PixelSource = std::function<std::vector<std::uint8_t>(int x, int y)>;

enum class SampleSpace { Gray, Rgb, Cmyk, Ycck };

struct SampleStream {
    int width = 16;
    int height = 16;
    SampleSpace space = SampleSpace::Rgb;
    bool progressive = false;
    PixelSource pixel;
};

Bytes libjpegEncode(const SampleStream& sample);

struct Segment {
    std::uint8_t marker = 0;  // the byte after FF
    Bytes payload;            // without the length field
};

// Marker segments from SOI up to and including SOS (whose payload is its header).
std::vector<Segment> segmentsUpToScan(const Bytes& jpeg);

// Offset of the first marker FF `marker`, or the size when there is none.
std::size_t markerOffset(const Bytes& jpeg, std::uint8_t marker);
inline std::size_t startOfScan(const Bytes& jpeg) { return markerOffset(jpeg, 0xDA); }

// A bitmap whose every pixel is blue, green, red.
Bitmap solidBitmap(int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red);

}  // namespace velmora::test
