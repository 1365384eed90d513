// Showing a turned photo: a 4000 x 3000 picture whose EXIF data says "turn 90 degrees
// clockwise", read, decoded, turned upright and drawn into the main window's 545 x 401
// area, against the same stream without EXIF data drawn as it is stored.
#include <QApplication>
#include <QImage>

#include "bench/measure.h"
#include "browser/picture_image.h"
#include "store/picture/jpeg_picture.h"
#include "tools/synthetic_picture.h"

using namespace velmora;

namespace {

const int kRuns = 9;

// An Exif APP1 segment holding Orientation 6, little-endian.
Bytes rotate90Segment() {
    return {0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0,
            0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0};
}

void decodeAndDraw(const SharedBytes& stored, PictureImage& area, QImage& target) {
    JpegPicture picture;
    picture.readStored(stored);
    area.setPicture(picture);
    area.render(&target);
    area.clear();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    PictureImage area;
    area.setFitFlags(FitFlags{false, true, true});
    area.resize(545, 401);
    QImage target(545, 401, QImage::Format_RGB32);

    const Bytes plain = tools::syntheticJpeg(4000, 3000, 0);
    Bytes turned(plain.begin(), plain.begin() + 2);
    const Bytes segment = rotate90Segment();
    turned.insert(turned.end(), segment.begin(), segment.end());
    turned.insert(turned.end(), plain.begin() + 2, plain.end());
    const SharedBytes plainBytes = shareBytes(plain);
    const SharedBytes turnedBytes = shareBytes(turned);

    const double before = bench::residentMb();
    bench::resetPeakResident();
    decodeAndDraw(turnedBytes, area, target);
    const double peakMb = bench::peakResidentMb() - before;

    const auto [turnedMs, plainMs] = bench::medianPairMs(
        kRuns, [&] { decodeAndDraw(turnedBytes, area, target); }, [&] { decodeAndDraw(plainBytes, area, target); });
    bench::report("upright_decode_draw_ms", turnedMs, "ms");
    bench::report("stored_decode_draw_ms", plainMs, "ms");
    bench::report("upright_ratio", turnedMs / plainMs, "x");
    bench::report("upright_decode_peak_mb", peakMb, "MiB");
    return 0;
}
