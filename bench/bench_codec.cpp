// The JPEG codec through the picture object against libjpeg called directly with the
// same settings: decoding a 4000 x 3000 photo-like picture and drawing it into the
// main window's 545 x 401 area, encoding the same bitmap, and the memory a decode takes;
// then the same stream with EXIF data saying "turn 90 degrees clockwise", shown upright,
// against the stream shown as stored.
#include <algorithm>
#include <functional>
#include <vector>

#include <QApplication>
#include <QImage>

#include "bench/measure.h"
#include "browser/picture_image.h"
#include "store/picture/jpeg_picture.h"
// The floor: libjpeg called directly with the same settings.
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

}  // namespace

int main(int argc, char** argv) {
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
    return 0;
}
