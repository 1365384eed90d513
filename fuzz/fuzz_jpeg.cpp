// Arbitrary bytes as a stored picture value: read (graphic-header rule, headers, EXIF
// orientation), then decoded, turned upright and drawn as the main window would; and
// through the display decoder at every reduction, alone and split, which must give
// libjpeg's own reduced picture of the bytes or decline them. Errors are fine;
// crashes, leaks, hangs, undefined behaviour, memory beyond the run's limit and a
// bitmap other than libjpeg's are not.
//
// Run with tools/fuzz.sh jpeg SECONDS -max_len=8192 (the product is instrumented;
// pointing JPEG_INCLUDE_DIR and JPEG_LIBRARY at a libjpeg built with
// -fsanitize=fuzzer-no-link lets coverage reach into the codec too), and copy what it
// reports (crash-*, timeout-*, slow-unit-*) into fuzz/corpus/jpeg, where
// tests/picture/fuzz_corpus_test.cpp replays it.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/error.h"
#include "store/picture/display_fit.h"
#include "store/picture/jpeg_decoder.h"
#include "store/picture/jpeg_picture.h"
#include "store/picture/reduced_jpeg_decoder.h"
#include "store/picture/scale_nearest.h"
#include "tests/picture/libjpeg_oracle.h"

namespace {

// Large valid pictures only cost time and memory; the decoder's own refusal of
// oversized headers is covered by the tests.
constexpr std::int64_t kFuzzPixelLimit = 4 << 20;

void readDecodeAndDraw(const std::uint8_t* data, std::size_t size) {
    velmora::JpegPicture picture;
    try {
        picture.readStored(velmora::shareBytes(velmora::Bytes(data, data + size)));
    } catch (const velmora::Error&) {
        return;
    }
    if (static_cast<std::int64_t>(picture.width()) * picture.height() > kFuzzPixelLimit) {
        return;
    }
    try {
        picture.bitmap();
    } catch (const velmora::Error&) {
        // The unfinished bitmap is drawn from now on, without a second error.
    }
    const velmora::Bitmap& bitmap = picture.bitmap();
    const velmora::FitRect fit = velmora::displayFit(bitmap.width(), bitmap.height(), 545, 401,
                                                     velmora::FitFlags{false, true, true});
    velmora::scaleNearest(bitmap, fit.width, fit.height);
}

void decodeReducedAgainstLibjpeg(const std::uint8_t* data, std::size_t size) {
    const velmora::Bytes bytes(data, data + size);
    try {
        const velmora::JpegHeader header = velmora::readJpegHeader(bytes);
        if (static_cast<std::int64_t>(header.width) * header.height > kFuzzPixelLimit) return;
    } catch (const velmora::Error&) {
        return;
    }
    for (unsigned denominator : {2u, 4u, 8u}) {
        for (bool twoThreads : {false, true}) {
            const velmora::test::OracleVerdict verdict =
                velmora::test::compareWithLibjpeg(bytes, denominator, {twoThreads, 0});
            if (!verdict.fault.empty()) {
                std::fprintf(stderr, "display decoder at 1/%u%s: %s\n", denominator, twoThreads ? ", split" : "",
                             verdict.fault.c_str());
                std::abort();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    readDecodeAndDraw(data, size);
    decodeReducedAgainstLibjpeg(data, size);
    return 0;
}
