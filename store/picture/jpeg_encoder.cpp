#include "store/picture/jpeg_encoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <thread>

#include <jpeglib.h>

#include "base/error.h"
#include "base/worker_thread.h"
#include "store/picture/jpeg_error_trap.h"
#include "store/picture/jpeg_memory_io.h"
#include "store/picture/jpeg_message_codes.h"
#include "store/picture/jpeg_restart_splice.h"

namespace velmora {
namespace {

// Below this many pixels a second thread costs more than it saves.
constexpr std::size_t kHalvesFromPixels = 1000 * 1000;

// A compressor that is destroyed on every way out.
class Compressor {
public:
    explicit Compressor(Bytes& out) {
        cinfo.err = installErrorTrap(trap);
        jpeg_create_compress(&cinfo);
        setMemoryDestination(&cinfo, out);
    }
    ~Compressor() { jpeg_destroy_compress(&cinfo); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    JpegErrorTrap trap;
    jpeg_compress_struct cinfo{};
};

// The rows of a 24-bit bitmap that one compression writes as a picture of its own.
struct RowRange {
    int first = 0;
    int count = 0;
    unsigned restartInterval = 0;  // in MCUs; 0: none
};

// Runs under the trap's setjmp: no object with a destructor lives across a libjpeg
// call, so a longjmp out of it skips nothing. `bitmap` is 24-bit.
bool compressRows(Compressor& codec, const Bitmap& bitmap, RowRange rows, const JpegDefaults& settings) {
    if (setjmp(codec.trap.jump)) {
        return false;
    }
    jpeg_compress_struct& cinfo = codec.cinfo;
    cinfo.image_width = static_cast<JDIMENSION>(bitmap.width());
    cinfo.image_height = static_cast<JDIMENSION>(rows.count);
    cinfo.input_components = 3;
    // The library reads the bitmap's blue-green-red bytes as they are.
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, settings.quality, TRUE);
    // Set rather than trusted to the library's default, which differs between builds.
    cinfo.dct_method = JDCT_FLOAT;
    if (settings.grayscaleOutput) {
        jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    }
    if (settings.progressiveEncoding) {
        jpeg_simple_progression(&cinfo);
    }
    cinfo.restart_interval = rows.restartInterval;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        // libjpeg only reads the rows it is given.
        JSAMPROW row = const_cast<JSAMPROW>(bitmap.scanLine(rows.first + static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

// The rows compressed into `out`; libjpeg's message code of a fatal error, or 0.
int compress(Bytes& out, const Bitmap& bitmap, RowRange rows, const JpegDefaults& settings) {
    Compressor codec(out);
    return compressRows(codec, bitmap, rows, settings) ? 0 : codec.trap.code;
}

// Room for a typical quality-90 stream (about 3 bits a pixel) up front, so the
// 4096-byte blocks rarely make the buffer move.
std::size_t expectedSize(const Bitmap& bitmap, int rows) {
    return static_cast<std::size_t>(bitmap.width()) * static_cast<std::size_t>(rows) * 3 / 8 + 4096;
}

Bytes encodeWhole(const Bitmap& bitmap, const JpegDefaults& settings) {
    Bytes out;
    out.reserve(expectedSize(bitmap, bitmap.height()));
    if (const int code = compress(out, bitmap, {0, bitmap.height(), 0}, settings)) {
        throw JpegError(libjpeg6bMessageCode(code));
    }
    return out;
}

// Where the halves meet: a whole number of restart intervals of whole MCU rows.
struct HalvesPlan {
    int splitRow = 0;              // first row of the bottom half; 0: no split
    unsigned restartInterval = 0;  // in MCUs
    std::size_t topIntervals = 0;
};

HalvesPlan planHalves(const Bitmap& bitmap, const JpegDefaults& settings, std::size_t maxRestartInterval) {
    // libjpeg's default sampling: luminance 2x2 over chroma 1x1 (16x16 MCUs) in colour,
    // one 8x8 block per MCU in greyscale.
    const int mcuSize = settings.grayscaleOutput ? 8 : 16;
    const std::size_t mcusPerRow = (static_cast<std::size_t>(bitmap.width()) + mcuSize - 1) / mcuSize;
    const std::size_t mcuRows = (static_cast<std::size_t>(bitmap.height()) + mcuSize - 1) / mcuSize;
    const std::size_t maxInterval = std::min<std::size_t>(maxRestartInterval, 65535);
    if (mcusPerRow == 0 || mcuRows < 2) return {};
    // MCU rows per restart interval, at most half the picture so that the split can
    // fall near the middle.
    const std::size_t rowsPerInterval = std::min((mcuRows + 1) / 2, maxInterval / mcusPerRow);
    if (rowsPerInterval == 0) return {};
    // The interval boundary nearest the middle, with rows below it.
    std::size_t topIntervals = std::max<std::size_t>(1, (mcuRows + rowsPerInterval) / (2 * rowsPerInterval));
    if (topIntervals * rowsPerInterval >= mcuRows) --topIntervals;
    if (topIntervals == 0) return {};
    return {static_cast<int>(topIntervals * rowsPerInterval * mcuSize),
            static_cast<unsigned>(rowsPerInterval * mcusPerRow), topIntervals};
}

}  // namespace

Bytes encodeJpegInHalves(const Bitmap& bitmap, const JpegDefaults& settings, std::size_t maxRestartInterval) {
    const HalvesPlan plan = planHalves(bitmap, settings, maxRestartInterval);
    if (plan.splitRow == 0 || settings.progressiveEncoding) {
        return encodeWhole(bitmap, settings);
    }
    const RowRange topRows{0, plan.splitRow, plan.restartInterval};
    const RowRange bottomRows{plan.splitRow, bitmap.height() - plan.splitRow, plan.restartInterval};
    // The top buffer has room for the whole stream, as it receives the bottom's data.
    Bytes top;
    top.reserve(expectedSize(bitmap, bitmap.height()));
    Bytes bottom;
    bottom.reserve(expectedSize(bitmap, bottomRows.count));
    int topCode = 0, bottomCode = 0;
    // Without a second thread the halves one after the other still give the same stream.
    runSideBySide([&] { topCode = compress(top, bitmap, topRows, settings); },
                  [&] { bottomCode = compress(bottom, bitmap, bottomRows, settings); });
    // The top half's error first: the one a single compression would have met.
    if (const int code = topCode ? topCode : bottomCode) {
        throw JpegError(libjpeg6bMessageCode(code));
    }
    if (!spliceAtRestart(top, bottom, bitmap.height(), plan.topIntervals)) {
        return encodeWhole(bitmap, settings);
    }
    return top;
}

Bytes encodeJpeg(const Bitmap& bitmap, const JpegDefaults& settings) {
    // An 8-bit bitmap goes through a 24-bit copy; a 24-bit one is read in place.
    Bitmap converted;
    const Bitmap* source = &bitmap;
    if (bitmap.format() != Bitmap::Format::Bgr24) {
        converted = bitmap.toBgr24();
        source = &converted;
    }
    const std::size_t pixels = static_cast<std::size_t>(source->width()) * static_cast<std::size_t>(source->height());
    if (pixels >= kHalvesFromPixels && !settings.progressiveEncoding && std::thread::hardware_concurrency() != 1) {
        return encodeJpegInHalves(*source, settings);
    }
    return encodeWhole(*source, settings);
}

}  // namespace velmora
