#include "store/picture/jpeg_encoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "base/error.h"
#include "store/picture/jpeg_error_trap.h"
#include "store/picture/jpeg_memory_io.h"
#include "store/picture/jpeg_message_codes.h"

namespace velmora {
namespace {

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

// Runs under the trap's setjmp: no object with a destructor lives across a libjpeg
// call, so a longjmp out of it skips nothing. `bitmap` is 24-bit.
bool compress(Compressor& codec, const Bitmap& bitmap, const JpegDefaults& settings) {
    if (setjmp(codec.trap.jump)) {
        return false;
    }
    jpeg_compress_struct& cinfo = codec.cinfo;
    cinfo.image_width = static_cast<JDIMENSION>(bitmap.width());
    cinfo.image_height = static_cast<JDIMENSION>(bitmap.height());
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
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        // libjpeg only reads the rows it is given.
        JSAMPROW row = const_cast<JSAMPROW>(bitmap.scanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

}  // namespace

Bytes encodeJpeg(const Bitmap& bitmap, const JpegDefaults& settings) {
    // An 8-bit bitmap goes through a 24-bit copy; a 24-bit one is read in place.
    Bitmap converted;
    const Bitmap* source = &bitmap;
    if (bitmap.format() != Bitmap::Format::Bgr24) {
        converted = bitmap.toBgr24();
        source = &converted;
    }
    Bytes out;
    // Room for a typical quality-90 stream (about 3 bits a pixel) up front, so the
    // 4096-byte blocks rarely make the buffer move.
    out.reserve(static_cast<std::size_t>(source->width()) * static_cast<std::size_t>(source->height()) * 3 / 8 + 4096);
    {
        Compressor codec(out);
        if (!compress(codec, *source, settings)) {
            throw JpegError(libjpeg6bMessageCode(codec.trap.code));
        }
    }
    return out;
}

}  // namespace velmora
