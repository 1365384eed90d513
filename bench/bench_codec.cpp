// The JPEG codec through the picture object against libjpeg called directly with the
// same settings: decoding a 4000 x 3000 photo-like picture and drawing it into the
// main window's 545 x 401 area, encoding the same bitmap, and the memory a decode takes;
// then the same stream with EXIF data saying "turn 90 degrees clockwise", shown upright,
// against the stream shown as stored.
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>

#include "bench/child_process_figure.h"
#include "bench/measure.h"
#include "qt_window/picture_image.h"
#include "store/picture/jpeg_picture.h"
#include "store/picture/reduced_jpeg_decoder.h"
// The floor: libjpeg called directly with the same settings.
#include "tests/picture/libjpeg_oracle.h"
#include "tests/picture/libjpeg_reference.h"
#include "tools/synthetic_picture.h"

using namespace velmora;

namespace {

const int kWidth = 4000;
const int kHeight = 3000;
const int kRuns = 9;

// What showing a stored picture in the main window costs: read, decode, fit, draw.
void decodeAndDraw(const SharedBytes& stored, PictureImage& area, QImage& target) {
    JpegPicture picture;
    picture.readStored(stored);
    area.setPicture(picture);
    area.render(&target);
    area.clear();
}

// An Exif APP1 segment holding Orientation 6 (little-endian TIFF data).
Bytes rotate90Segment() {
    return {0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0,
            0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0};
}

// A 2048 x 2048 grey picture whose scan runs on for 32 MB past its last block.
Bytes longTailStream() {
    const Bitmap colour = tools::syntheticBitmap(2048, 2048, 1);
    std::vector<std::uint8_t> row(2048);
    test::LibjpegCompressor compressor(2048, 2048, 1, JCS_GRAYSCALE);
    jpeg_set_defaults(&compressor.cinfo);
    jpeg_set_quality(&compressor.cinfo, 90, TRUE);
    Bytes stream = compressor.finish([&](int y) {
        for (int x = 0; x < 2048; ++x) row[static_cast<std::size_t>(x)] = colour.scanLine(y)[3 * x + 1];
        return static_cast<const std::uint8_t*>(row.data());
    });
    stream.insert(stream.end() - 2, std::size_t{32} << 20, std::uint8_t{0});
    return stream;
}

// Child: the long-tail stream decoded at 1/2 by the display decoder (split) or by
// libjpeg, its time and the peak memory the decode added.
int longTail(const std::string& decoder) {
    const Bytes stream = longTailStream();
    const double before = bench::residentMb();
    bench::resetPeakResident();
    const double ms = bench::timeMs([&] {
        Bitmap bitmap;
        if (decoder == "display") {
            if (!decodeReducedBaseline(stream, 2, bitmap)) std::abort();
        } else {
            bitmap = test::libjpegReduced(stream, 2);
        }
    });
    bench::report("peak_mb", bench::peakResidentMb() - before, "MiB");
    bench::report("ms", ms, "ms");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--long-tail") return longTail(argv[2]);
    QApplication app(argc, argv);
    PictureImage area;
    area.setFitFlags(FitFlags{false, true, true});
    area.resize(545, 401);
    QImage target(545, 401, QImage::Format_RGB32);

    const Bitmap bitmap = tools::syntheticBitmap(kWidth, kHeight, 0);
    JpegPicture source;
    source.assignBitmap(bitmap);
    const SharedBytes stored = source.jpegData();
    const double bitmapMb = static_cast<double>(bitmap.bytesPerLine()) * kHeight / (1024.0 * 1024.0);
    bench::report("jpeg_bytes", static_cast<double>(stored->size()), "bytes");

    // Memory first, before the timing runs have touched the allocator.
    const double before = bench::residentMb();
    bench::resetPeakResident();
    decodeAndDraw(stored, area, target);
    const double peakMb = bench::peakResidentMb() - before;

    std::vector<double> decodeTimes, rawDecodeTimes, encodeTimes, rawEncodeTimes;
    for (int run = 0; run < kRuns; ++run) {
        bench::timeInTurn(
            run, [&] { decodeAndDraw(stored, area, target); }, decodeTimes,
            [&] { test::referenceDecode(*stored, JCS_EXT_BGR); }, rawDecodeTimes);
        // Assigning copies the bitmap; storing is what is timed, and the floor encodes
        // the very same copy.
        JpegPicture picture;
        picture.assignBitmap(bitmap);
        const Bitmap& held = picture.bitmap();
        bench::timeInTurn(
            run, [&] { picture.jpegData(); }, encodeTimes, [&] { test::referenceEncode(held); }, rawEncodeTimes);
    }
    const double decodeMs = bench::median(decodeTimes), rawDecodeMs = bench::median(rawDecodeTimes);
    const double encodeMs = bench::median(encodeTimes), rawEncodeMs = bench::median(rawEncodeTimes);

    bench::report("decode_draw_ms", decodeMs, "ms");
    bench::report("raw_decode_ms", rawDecodeMs, "ms");
    bench::report("decode_ratio", decodeMs / rawDecodeMs, "x");
    bench::report("encode_ms", encodeMs, "ms");
    bench::report("raw_encode_ms", rawEncodeMs, "ms");
    bench::report("encode_ratio", encodeMs / rawEncodeMs, "x");
    bench::report("bitmap_mb", bitmapMb, "MiB");
    bench::report("decode_peak_mb", peakMb, "MiB");
    bench::report("decode_peak_ratio", peakMb / bitmapMb, "x");

    Bytes turned(stored->begin(), stored->begin() + 2);
    const Bytes segment = rotate90Segment();
    turned.insert(turned.end(), segment.begin(), segment.end());
    turned.insert(turned.end(), stored->begin() + 2, stored->end());
    const SharedBytes turnedBytes = shareBytes(std::move(turned));
    const double beforeTurned = bench::residentMb();
    bench::resetPeakResident();
    decodeAndDraw(turnedBytes, area, target);
    const double uprightPeakMb = bench::peakResidentMb() - beforeTurned;
    const auto [uprightMs, asStoredMs] = bench::medianPairMs(
        kRuns, [&] { decodeAndDraw(turnedBytes, area, target); }, [&] { decodeAndDraw(stored, area, target); });
    bench::report("upright_decode_draw_ms", uprightMs, "ms");
    bench::report("as_stored_decode_draw_ms", asStoredMs, "ms");
    bench::report("upright_ratio", uprightMs / asStoredMs, "x");
    bench::report("upright_decode_peak_mb", uprightPeakMb, "MiB");

    // A hostile stream: each decoder in a fresh process, so neither inherits the other's heap.
    auto display = bench::runChildFigures("/proc/self/exe", {"--long-tail", "display"});
    auto libjpeg = bench::runChildFigures("/proc/self/exe", {"--long-tail", "libjpeg"});
    bench::report("long_tail_peak_mb", display["peak_mb"], "MiB");
    bench::report("long_tail_libjpeg_peak_mb", libjpeg["peak_mb"], "MiB");
    bench::report("long_tail_peak_ratio", display["peak_mb"] / libjpeg["peak_mb"], "x");
    bench::report("long_tail_ms", display["ms"], "ms");
    bench::report("long_tail_libjpeg_ms", libjpeg["ms"], "ms");
    bench::report("long_tail_ratio", display["ms"] / libjpeg["ms"], "x");
    return 0;
}
