#pragma once
// The display decoder held to libjpeg: on any bytes it must give libjpeg's reduced
// picture of them, or decline. Shared by the picture tests and the JPEG fuzz target.
//
// The pictures are compared where the two decoders are meant to agree: the luma and
// chroma samples before they become colours. libjpeg keeps 4:2:0 chroma at twice the
// resolution the display decoder keeps (it scales its chroma transform up), so each of
// the display decoder's chroma samples is held to the range of libjpeg's samples it
// stands for; on small pictures of sharp, saturated colour edges that difference
// alone would otherwise dominate the colours.

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "store/picture/jpeg_decoder.h"
#include "store/picture/jpeg_error_trap.h"
#include "store/picture/jpeg_scan_layout.h"
#include "store/picture/reduced_jpeg_decoder.h"
#include "store/picture/reduced_scan_decoder.h"

namespace velmora::test {

// The display decoder on one thread, and split across threads.
inline const ReducedDecodeOptions kAlone{false, 0};
inline const ReducedDecodeOptions kSplit{true, 0};

// Mean absolute difference of two bitmaps of one size, over their 24-bit forms.
inline double meanDifference(const Bitmap& a, const Bitmap& b) {
    const Bitmap left = a.toBgr24(), right = b.toBgr24();
    double sum = 0;
    for (int y = 0; y < left.height(); ++y) {
        for (int x = 0; x < left.width() * 3; ++x) sum += std::abs(left.scanLine(y)[x] - right.scanLine(y)[x]);
    }
    return sum / (3.0 * left.width() * left.height());
}

// libjpeg's own decode of `jpeg` at 1/denominator (2, 4 or 8), as the display path
// makes it when the display decoder declines: colour upsampled without smoothing.
// (A scale in the settings keeps the display decoder out.) Raises JpegError.
inline Bitmap libjpegReduced(const Bytes& jpeg, unsigned denominator) {
    JpegDefaults settings;
    settings.scale = denominator == 2 ? 1 : denominator == 4 ? 2 : 3;
    const JpegHeader header = readJpegHeader(jpeg);
    const auto reduced = [&](int size) { return static_cast<int>((static_cast<unsigned>(size) + denominator - 1) / denominator); };
    Bitmap bitmap;
    decodeJpegCovering(jpeg, settings, CoverSize{reduced(header.width), reduced(header.height)}, bitmap);
    return bitmap;
}

// libjpeg's samples (Y, or Y Cb Cr interleaved) at 1/denominator, chroma replicated
// to full size; nullopt when libjpeg fails on the stream.
struct LibjpegSamples {
    int width = 0, height = 0, components = 0;
    std::vector<std::uint8_t> samples;
    int at(int x, int y, int c) const { return samples[(std::size_t(y) * width + x) * components + c]; }
};

inline bool readSamples(jpeg_decompress_struct& cinfo, JpegErrorTrap& trap, const Bytes& jpeg, unsigned denominator,
                        LibjpegSamples& out) {
    if (setjmp(trap.jump)) return false;
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = denominator;
    cinfo.do_fancy_upsampling = FALSE;
    cinfo.out_color_space = cinfo.num_components == 1 ? JCS_GRAYSCALE : JCS_YCbCr;
    jpeg_start_decompress(&cinfo);
    out.width = static_cast<int>(cinfo.output_width);
    out.height = static_cast<int>(cinfo.output_height);
    out.components = cinfo.output_components;
    out.samples.resize(std::size_t(out.width) * out.height * out.components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.samples.data() + std::size_t(cinfo.output_scanline) * out.width * out.components;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

inline std::optional<LibjpegSamples> libjpegSamples(const Bytes& jpeg, unsigned denominator) {
    JpegErrorTrap trap;
    jpeg_decompress_struct cinfo{};
    cinfo.err = installErrorTrap(trap);
    jpeg_create_decompress(&cinfo);
    LibjpegSamples samples;
    const bool read = readSamples(cinfo, trap, jpeg, denominator, samples);
    jpeg_destroy_decompress(&cinfo);
    if (!read) return std::nullopt;
    return samples;
}

// How far the two inverse transforms may differ, on average over a picture.
constexpr double kReducedTolerance = 2.0;

// How far, on average, the display decoder's plane `c` lies outside the range of
// libjpeg's samples of component `c` in the cell each plane sample stands for (a
// single sample where both keep the same resolution). Where libjpeg keeps chroma
// finer, it range-limits each finer sample, and their mean is no longer the mean of
// the transform; the range holds either way. Cells cut by the picture's edge are
// left out.
inline double planeDifference(const ReducedPlane& plane, const ScanLayout& layout, std::size_t c,
                              const LibjpegSamples& reference) {
    const int cellWidth = layout.maxHorizontal / layout.components[c].horizontal;
    const int cellHeight = layout.maxVertical / layout.components[c].vertical;
    double sum = 0;
    long cells = 0;
    for (int y = 0; y * cellHeight < reference.height; ++y) {
        for (int x = 0; x * cellWidth < reference.width; ++x) {
            if (x >= plane.width || y >= plane.height) return 255;  // a plane too small for the picture
            // A cell cut by the picture's edge: the plane's sample also covers the
            // padding beyond it, which libjpeg's finer chroma leaves out.
            if ((x + 1) * cellWidth > reference.width || (y + 1) * cellHeight > reference.height) continue;
            ++cells;
            int low = 255, high = 0;
            for (int v = y * cellHeight; v < std::min((y + 1) * cellHeight, reference.height); ++v) {
                for (int u = x * cellWidth; u < std::min((x + 1) * cellWidth, reference.width); ++u) {
                    low = std::min(low, reference.at(u, v, static_cast<int>(c)));
                    high = std::max(high, reference.at(u, v, static_cast<int>(c)));
                }
            }
            const int ours = plane.samples[std::size_t(y) * plane.width + x];
            sum += std::max({0, low - ours, ours - high});
        }
    }
    return cells == 0 ? 0 : sum / double(cells);
}

struct OracleVerdict {
    bool took = false;  // the display decoder took the stream
    std::string fault;  // empty when it kept the contract
};

// Decodes `jpeg` both ways at 1/denominator and says whether the display decoder
// gave libjpeg's picture or declined.
inline OracleVerdict compareWithLibjpeg(const Bytes& jpeg, unsigned denominator, const ReducedDecodeOptions& options) {
    OracleVerdict verdict;
    Bitmap ours;
    verdict.took = decodeReducedBaseline(jpeg, denominator, ours, options);
    Bitmap reference;
    try {
        reference = libjpegReduced(jpeg, denominator);
    } catch (const JpegError& error) {
        if (verdict.took) verdict.fault = std::string("took a stream libjpeg refuses: ") + error.what();
        return verdict;
    }
    if (!verdict.took) return verdict;
    if (ours.width() != reference.width() || ours.height() != reference.height() || ours.format() != reference.format() ||
        ours.palette().size() != reference.palette().size()) {
        verdict.fault = "a bitmap of another size or format than libjpeg's";
        return verdict;
    }
    // The samples the bitmap was made from, decoded again the same way.
    const std::optional<ScanLayout> layout = readBaselineLayout(jpeg);
    std::vector<ReducedPlane> planes;
    const std::optional<LibjpegSamples> samples = libjpegSamples(jpeg, denominator);
    if (!layout || !samples || !decodeReducedScan(jpeg, *layout, static_cast<int>(8 / denominator), options.twoThreads, planes)) {
        verdict.fault = "a second decode of the same stream went otherwise";
        return verdict;
    }
    for (std::size_t c = 0; c < planes.size(); ++c) {
        if (const double difference = planeDifference(planes[c], *layout, c, *samples); difference >= kReducedTolerance) {
            verdict.fault = "component " + std::to_string(c) + " differs from libjpeg's by " + std::to_string(difference) +
                            " on average";
            return verdict;
        }
    }
    return verdict;
}

}  // namespace velmora::test
