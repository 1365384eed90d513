#include "store/picture/jpeg_decoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
// After jpeglib.h: the message list depends on its configuration.
#include <jerror.h>

#include "base/error.h"
#include "store/picture/covering_scale.h"
#include "store/picture/decode_cancel.h"
#include "store/picture/jpeg_error_trap.h"
#include "store/picture/jpeg_memory_io.h"
#include "store/picture/jpeg_message_codes.h"
#include "store/picture/picture_limits.h"
#include "store/picture/reduced_jpeg_decoder.h"
#include "store/picture/scale_nearest.h"

namespace velmora {
namespace {

constexpr int kQuantizedColours = 236;

// A decompressor over `data` that is destroyed on every way out.
class Decompressor {
public:
    explicit Decompressor(const Bytes& data, bool prefixOnly = false) {
        cinfo.err = installErrorTrap(trap);
        jpeg_create_decompress(&cinfo);
        setMemorySource(&cinfo, data, prefixOnly);
    }
    ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    [[noreturn]] void raise() const { throw JpegError(libjpeg6bMessageCode(trap.code)); }

    JpegErrorTrap trap;
    jpeg_decompress_struct cinfo{};
};

// The functions below run under the trap's setjmp: they hold no object with a
// destructor across a libjpeg call, so a longjmp out of them skips nothing.

bool isCmyk(J_COLOR_SPACE space) {
    return space == JCS_CMYK || space == JCS_YCCK;
}

void chooseOutput(jpeg_decompress_struct& cinfo, const JpegDefaults& settings) {
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1u << settings.scale;
    cinfo.do_block_smoothing = settings.smoothing ? TRUE : FALSE;
    cinfo.dct_method = JDCT_FLOAT;
    if (settings.grayscaleOutput || cinfo.jpeg_color_space == JCS_GRAYSCALE) {
        cinfo.out_color_space = JCS_GRAYSCALE;
    } else if (isCmyk(cinfo.jpeg_color_space)) {
        // libjpeg gives CMYK for both; it is turned into blue-green-red row by row.
        cinfo.out_color_space = JCS_CMYK;
    } else if (settings.pixelFormat == PixelFormat::Bits8) {
        // The colour map is wanted in red-green-blue order.
        cinfo.out_color_space = JCS_RGB;
    } else {
        // libjpeg writes blue, green, red: the bitmap's own byte order, no swap.
        cinfo.out_color_space = JCS_EXT_BGR;
    }
    const bool quantize = cinfo.out_color_space == JCS_GRAYSCALE ||
                          (settings.pixelFormat == PixelFormat::Bits8 && cinfo.out_color_space == JCS_RGB);
    if (quantize) {
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = kQuantizedColours;
    }
    if (settings.bestSpeed) {
        cinfo.dct_method = JDCT_IFAST;
        cinfo.two_pass_quantize = FALSE;
        cinfo.dither_mode = JDITHER_ORDERED;
    }
}

void setPaletteFromColourMap(const jpeg_decompress_struct& cinfo, Bitmap& target) {
    std::vector<PaletteEntry> palette(static_cast<std::size_t>(cinfo.actual_number_of_colors));
    const bool gray = cinfo.out_color_components == 1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const JSAMPLE red = cinfo.colormap[0][i];
        palette[i].red = red;
        palette[i].green = gray ? red : cinfo.colormap[1][i];
        palette[i].blue = gray ? red : cinfo.colormap[2][i];
    }
    target.setPalette(std::move(palette));
}

// One CMYK row to blue-green-red. Streams with an Adobe marker store the inks
// inverted (as Photoshop and most other producers write them).
void cmykRowToBgr(const JSAMPLE* in, std::uint8_t* out, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
        unsigned c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
        out[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        out[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
    }
}

// Stops early, with rows left unread, when the decode is cancelled.
void readRows(jpeg_decompress_struct& cinfo, Bitmap& target) {
    const JDIMENSION height = cinfo.output_height;
    const std::atomic<bool>* cancel = decodeCancelFlag();
    if (cinfo.out_color_space == JCS_CMYK) {
        JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                    cinfo.output_width * 4, 1);
        const bool inverted = cinfo.saw_Adobe_marker;
        while (cinfo.output_scanline < height && !cancelRaised(cancel)) {
            const JDIMENSION y = cinfo.output_scanline;
            if (jpeg_read_scanlines(&cinfo, row, 1) != 1) {
                return;  // only a suspending source returns nothing; ours never does
            }
            cmykRowToBgr(row[0], target.scanLine(static_cast<int>(y)), cinfo.output_width, inverted);
        }
        return;
    }
    // libjpeg writes straight into the bitmap's rows.
    auto* rows = static_cast<JSAMPARRAY>((*cinfo.mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, sizeof(JSAMPROW) * height));
    for (JDIMENSION y = 0; y < height; ++y) {
        rows[y] = target.scanLine(static_cast<int>(y));
    }
    while (cinfo.output_scanline < height && !cancelRaised(cancel)) {
        if (jpeg_read_scanlines(&cinfo, rows + cinfo.output_scanline, height - cinfo.output_scanline) == 0) {
            return;
        }
    }
}

bool parseHeader(Decompressor& codec, JpegHeader& header) {
    if (setjmp(codec.trap.jump)) {
        return false;
    }
    jpeg_decompress_struct& cinfo = codec.cinfo;
    jpeg_read_header(&cinfo, TRUE);
    header.width = static_cast<int>(cinfo.image_width);
    header.height = static_cast<int>(cinfo.image_height);
    header.grayscale = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    header.progressive = jpeg_has_multiple_scans(&cinfo);
    return true;
}

// cover: {0, 0} decodes at the settings' scale; otherwise at the smallest DCT scale
// whose output covers cover.width x cover.height.
bool decodeInto(Decompressor& codec, const JpegDefaults& settings, const CoverSize& cover, Bitmap& target) {
    if (setjmp(codec.trap.jump)) {
        return false;
    }
    jpeg_decompress_struct& cinfo = codec.cinfo;
    jpeg_read_header(&cinfo, TRUE);
    chooseOutput(cinfo, settings);
    if (cover.width > 0 && cover.height > 0) {
        cinfo.scale_denom = std::max<unsigned>(
            cinfo.scale_denom, coveringDenominator(cinfo.image_width, cinfo.image_height, cover.width, cover.height));
        // A reduced display bitmap is scaled down once more to its rectangle: the
        // smoothing of subsampled colour would not survive that, and costs a fifth.
        if (cinfo.scale_denom > 1) cinfo.do_fancy_upsampling = FALSE;
    }
    jpeg_calc_output_dimensions(&cinfo);
    const std::uint64_t pixels = std::uint64_t{cinfo.output_width} * cinfo.output_height;
    if (pixels > kMaxBitmapPixels) {
        ERREXIT1(&cinfo, JERR_IMAGE_TOO_BIG, JPEG_MAX_DIMENSION);
    }
    const bool indexed = cinfo.quantize_colors;
    target = Bitmap(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                    indexed ? Bitmap::Format::Indexed8 : Bitmap::Format::Bgr24);
    jpeg_start_decompress(&cinfo);
    if (indexed) {
        setPaletteFromColourMap(cinfo, target);
    }
    readRows(cinfo, target);
    if (cinfo.output_scanline < cinfo.output_height) {
        jpeg_abort_decompress(&cinfo);  // cancelled: the caller raises it
        return true;
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

}  // namespace

JpegHeader readJpegHeader(const Bytes& data) {
    Decompressor codec(data);
    JpegHeader header;
    if (!parseHeader(codec, header)) {
        codec.raise();
    }
    return header;
}

std::optional<JpegHeader> readJpegHeaderFromFront(const Bytes& front) {
    Decompressor codec(front, true);
    JpegHeader header;
    if (parseHeader(codec, header)) {
        return header;
    }
    if (memorySourceRanOut(&codec.cinfo)) {
        return std::nullopt;
    }
    codec.raise();
}

void decodeJpeg(const Bytes& data, const JpegDefaults& settings, Bitmap& target) {
    decodeJpegCovering(data, settings, CoverSize{}, target);
}

namespace {

// The settings under which the display-size decoder gives what libjpeg would.
bool plainOutput(const JpegDefaults& settings) {
    return settings.scale == 0 && !settings.grayscaleOutput && !settings.bestSpeed &&
           settings.pixelFormat == PixelFormat::Bits24;
}

}  // namespace

void decodeJpegCovering(const Bytes& data, const JpegDefaults& settings, CoverSize cover, Bitmap& target) {
    if (plainOutput(settings) && cover.width > 0 && cover.height > 0 &&
        decodeReducedBaselineCovering(data, cover, target)) {
        return;
    }
    stopIfCancelled();
    Decompressor codec(data);
    if (!decodeInto(codec, settings, cover, target)) {
        codec.raise();
    }
    stopIfCancelled();
}

void decodeJpegAtSize(const Bytes& data, const JpegDefaults& settings, CoverSize size, Bitmap& target) {
    if (plainOutput(settings) && size.width > 0 && size.height > 0 &&
        decodeReducedBaselineCovering(data, size, target, size)) {
        return;
    }
    stopIfCancelled();
    decodeJpegCovering(data, settings, size, target);
    if (target.width() != size.width || target.height() != size.height) {
        target = scaleNearest(target, size.width, size.height);
    }
}

}  // namespace velmora
