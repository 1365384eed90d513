#pragma once
// libjpeg called directly, with the library's own memory source and destination: the
// yardstick the picture tests and the codec benchmark hold the product's codec to.

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

#include "base/bytes.h"
#include "store/picture/bitmap.h"

namespace velmora::test {

// A compressor writing to memory; set cinfo's parameters, then call finish().
class LibjpegCompressor {
public:
    LibjpegCompressor(int width, int height, int components, J_COLOR_SPACE space) {
        cinfo.err = jpeg_std_error(&errors_);
        jpeg_create_compress(&cinfo);
        jpeg_mem_dest(&cinfo, &buffer_, &size_);
        cinfo.image_width = static_cast<JDIMENSION>(width);
        cinfo.image_height = static_cast<JDIMENSION>(height);
        cinfo.input_components = components;
        cinfo.in_color_space = space;
    }
    ~LibjpegCompressor() {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer_);
    }
    LibjpegCompressor(const LibjpegCompressor&) = delete;
    LibjpegCompressor& operator=(const LibjpegCompressor&) = delete;

    // Compresses the rows that row(y) hands out, top row first.
    Bytes finish(const std::function<const JSAMPLE*(int y)>& row) {
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            JSAMPROW rows[1] = {const_cast<JSAMPROW>(row(static_cast<int>(cinfo.next_scanline)))};
            jpeg_write_scanlines(&cinfo, rows, 1);
        }
        jpeg_finish_compress(&cinfo);
        return Bytes(buffer_, buffer_ + size_);
    }

    jpeg_compress_struct cinfo{};

private:
    jpeg_error_mgr errors_{};
    unsigned char* buffer_ = nullptr;
    unsigned long size_ = 0;
};

// The stream the product's encoder must produce for a 24-bit bitmap: libjpeg's
// defaults, quality 90 baseline, floating-point DCT, fed blue-green-red.
inline Bytes referenceEncode(const Bitmap& bitmap) {
    LibjpegCompressor compressor(bitmap.width(), bitmap.height(), 3, JCS_EXT_BGR);
    jpeg_set_defaults(&compressor.cinfo);
    jpeg_set_quality(&compressor.cinfo, 90, TRUE);
    compressor.cinfo.dct_method = JDCT_FLOAT;
    return compressor.finish([&](int y) { return bitmap.scanLine(y); });
}

struct DecodedPixels {
    int width = 0;
    int height = 0;
    std::size_t stride = 0;  // bytes per row, a multiple of 4 as in a bitmap
    std::vector<std::uint8_t> bytes;
    const std::uint8_t* row(int y) const { return bytes.data() + static_cast<std::size_t>(y) * stride; }
};

// Decodes a 3-component stream to `space` (JCS_RGB or JCS_EXT_BGR) with the
// floating-point DCT and block smoothing, straight into rows, at 1/scaleDenominator.
inline DecodedPixels referenceDecode(const Bytes& jpeg, J_COLOR_SPACE space, unsigned scaleDenominator = 1) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = space;
    cinfo.dct_method = JDCT_FLOAT;
    cinfo.do_block_smoothing = TRUE;
    cinfo.scale_num = 1;
    cinfo.scale_denom = scaleDenominator;
    jpeg_start_decompress(&cinfo);
    DecodedPixels pixels;
    pixels.width = static_cast<int>(cinfo.output_width);
    pixels.height = static_cast<int>(cinfo.output_height);
    pixels.stride = (cinfo.output_width * 3 + 3) & ~std::size_t{3};
    pixels.bytes.resize(pixels.stride * cinfo.output_height);
    std::vector<JSAMPROW> rows(cinfo.output_height);
    for (std::size_t y = 0; y < rows.size(); ++y) {
        rows[y] = pixels.bytes.data() + y * pixels.stride;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        jpeg_read_scanlines(&cinfo, rows.data() + cinfo.output_scanline, cinfo.output_height - cinfo.output_scanline);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return pixels;
}

}  // namespace velmora::test
