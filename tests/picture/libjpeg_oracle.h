#pragma once
// The display decoder held to libjpeg: on any bytes it must give libjpeg's reduced
// picture of them, or decline. Shared by the picture tests and the JPEG fuzz target.

#include <cmath>
#include <cstdlib>
#include <string>

#include "base/error.h"
#include "store/picture/jpeg_decoder.h"
#include "store/picture/reduced_jpeg_decoder.h"

namespace velmora::test {

// Mean absolute difference of two bitmaps of one size, over their 24-bit forms.
inline double meanDifference(const Bitmap& a, const Bitmap& b) {
    const Bitmap left = a.toBgr24(), right = b.toBgr24();
    double sum = 0;
    for (int y = 0; y < left.height(); ++y) {
        for (int x = 0; x < left.width() * 3; ++x) sum += std::abs(left.scanLine(y)[x] - right.scanLine(y)[x]);
    }
    return sum / (3.0 * left.width() * left.height());
}

// libjpeg's own decode of `jpeg` at 1/denominator (2, 4 or 8). Raises JpegError.
inline Bitmap libjpegReduced(const Bytes& jpeg, unsigned denominator) {
    JpegDefaults settings;
    settings.scale = denominator == 2 ? 1 : denominator == 4 ? 2 : 3;
    Bitmap bitmap;
    decodeJpeg(jpeg, settings, bitmap);
    return bitmap;
}

// How far the two inverse transforms may differ, on average over a picture.
constexpr double kReducedTolerance = 2.0;

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
    } else if (const double difference = meanDifference(ours, reference); difference >= kReducedTolerance) {
        verdict.fault = "a mean difference of " + std::to_string(difference) + " from libjpeg's picture";
    }
    return verdict;
}

}  // namespace velmora::test
