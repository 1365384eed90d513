#include "tests/picture/jpeg_samples.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace velmora::test {
namespace {

J_COLOR_SPACE inputSpace(SampleSpace space) {
    switch (space) {
    case SampleSpace::Gray: return JCS_GRAYSCALE;
    case SampleSpace::Rgb: return JCS_RGB;
    case SampleSpace::Cmyk:
    case SampleSpace::Ycck: return JCS_CMYK;
    }
    return JCS_RGB;
}

int componentCount(SampleSpace space) {
    return space == SampleSpace::Gray ? 1 : space == SampleSpace::Rgb ? 3 : 4;
}

Bytes takeMemory(unsigned char* buffer, unsigned long size) {
    Bytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

}  // namespace

Bytes libjpegEncode(const SampleStream& sample) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    const int components = componentCount(sample.space);
    cinfo.image_width = static_cast<JDIMENSION>(sample.width);
    cinfo.image_height = static_cast<JDIMENSION>(sample.height);
    cinfo.input_components = components;
    cinfo.in_color_space = inputSpace(sample.space);
    jpeg_set_defaults(&cinfo);
    if (sample.space == SampleSpace::Ycck) {
        jpeg_set_colorspace(&cinfo, JCS_YCCK);
    }
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (sample.progressive) {
        jpeg_simple_progression(&cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(sample.width * components));
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < sample.width; ++x) {
            const std::vector<std::uint8_t> values = sample.pixel(x, y);
            for (int c = 0; c < components; ++c) {
                row[static_cast<std::size_t>(x * components + c)] = values.at(static_cast<std::size_t>(c));
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return takeMemory(buffer, size);
}

Bytes referenceEncode(const Bitmap& bitmap) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(bitmap.width());
    cinfo.image_height = static_cast<JDIMENSION>(bitmap.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    cinfo.dct_method = JDCT_FLOAT;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(bitmap.scanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return takeMemory(buffer, size);
}

std::vector<std::uint8_t> referenceDecodeRgb(const Bytes& jpeg, int& width, int& height) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    cinfo.dct_method = JDCT_FLOAT;
    jpeg_start_decompress(&cinfo);
    width = static_cast<int>(cinfo.output_width);
    height = static_cast<int>(cinfo.output_height);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + static_cast<std::size_t>(cinfo.output_scanline) * width * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return pixels;
}

std::vector<Segment> segmentsUpToScan(const Bytes& jpeg) {
    std::vector<Segment> segments;
    if (jpeg.size() < 2 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) {
        throw std::runtime_error("no start of image");
    }
    segments.push_back({0xD8, {}});
    std::size_t at = 2;
    while (at + 4 <= jpeg.size()) {
        if (jpeg[at] != 0xFF) {
            throw std::runtime_error("marker expected");
        }
        const std::uint8_t marker = jpeg[at + 1];
        const std::size_t length = static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (length < 2 || at + 2 + length > jpeg.size()) {
            throw std::runtime_error("bad segment length");
        }
        segments.push_back({marker, Bytes(jpeg.begin() + static_cast<long>(at + 4),
                                          jpeg.begin() + static_cast<long>(at + 2 + length))});
        if (marker == 0xDA) {
            break;
        }
        at += 2 + length;
    }
    return segments;
}

std::size_t markerOffset(const Bytes& jpeg, std::uint8_t marker) {
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) {
            return i;
        }
    }
    return jpeg.size();
}

Bitmap solidBitmap(int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    Bitmap bitmap(width, height, Bitmap::Format::Bgr24);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = blue;
            row[3 * x + 1] = green;
            row[3 * x + 2] = red;
        }
    }
    return bitmap;
}

}  // namespace velmora::test
