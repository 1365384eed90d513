#include "platform/bmp_pixels.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "base/little_endian.h"

namespace velmora::platform {
namespace {

constexpr long long kMostPixels = 1LL << 28;

std::uint32_t bgr(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           bytes[at];
}

}  // namespace

std::optional<RgbPixels> readBmpPixels(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
    const std::uint32_t pixelOffset = le::u32(&bytes[10]);
    const std::uint32_t headerSize = le::u32(&bytes[14]);
    const std::int32_t width = le::i32(&bytes[18]);
    const std::int32_t height = le::i32(&bytes[22]);
    const int bits = le::u16(&bytes[28]);
    if (headerSize < 40 || le::u32(&bytes[30]) != 0 || (bits != 8 && bits != 24 && bits != 32)) return std::nullopt;
    const long long rows = std::llabs(static_cast<long long>(height));
    if (width <= 0 || rows == 0 || width * rows > kMostPixels) return std::nullopt;
    const std::size_t stride = (static_cast<std::size_t>(width) * bits / 8 + 3) / 4 * 4;
    if (pixelOffset > bytes.size() || (bytes.size() - pixelOffset) / stride < static_cast<std::size_t>(rows))
        return std::nullopt;

    std::vector<std::uint32_t> palette;
    if (bits == 8) {
        const std::uint32_t used = le::u32(&bytes[46]);
        const std::size_t count = used ? std::min<std::uint32_t>(used, 256) : 256;
        const std::size_t at = 14 + std::size_t{headerSize};
        if (at + 4 * count > pixelOffset) return std::nullopt;
        for (std::size_t i = 0; i < count; ++i) palette.push_back(bgr(bytes, at + 4 * i));
        palette.resize(256, 0);
    }

    RgbPixels picture;
    picture.width = width;
    picture.height = static_cast<int>(rows);
    picture.rgb.resize(static_cast<std::size_t>(width) * rows);
    for (long long y = 0; y < rows; ++y) {
        // Rows are stored bottom up unless the height is negative.
        std::size_t row = pixelOffset + stride * static_cast<std::size_t>(height > 0 ? rows - 1 - y : y);
        std::uint32_t* out = &picture.rgb[static_cast<std::size_t>(y) * width];
        for (std::int32_t x = 0; x < width; ++x) {
            out[x] = bits == 8 ? palette[bytes[row + x]]
                               : bgr(bytes, row + static_cast<std::size_t>(x) * (bits / 8));
        }
    }
    return picture;
}

bool writeBmpPixels(const RgbPixels& picture, const std::string& path) {
    if (picture.width <= 0 || picture.height <= 0) return false;
    const std::size_t stride = (static_cast<std::size_t>(picture.width) * 3 + 3) / 4 * 4;
    const std::size_t size = 54 + stride * picture.height;
    if (size > 0xFFFFFFFFu) return false;
    std::vector<std::uint8_t> bytes(size, 0);
    auto put = [&bytes](std::size_t at, std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<std::uint32_t>(size), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(picture.width), 4);
    put(22, static_cast<std::uint32_t>(picture.height), 4);  // rows bottom to top
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, static_cast<std::uint32_t>(stride * picture.height), 4);
    for (int y = 0; y < picture.height; ++y) {
        std::uint8_t* row = &bytes[54 + stride * (picture.height - 1 - y)];
        for (int x = 0; x < picture.width; ++x) put(static_cast<std::size_t>(row - bytes.data()) + 3 * x, picture.at(x, y), 3);
    }
    // A reader never sees a part: the bytes go to a file beside it, renamed over it.
    const std::string partial = path + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            out.close();
            std::remove(partial.c_str());
            return false;
        }
    }
    if (std::rename(partial.c_str(), path.c_str()) == 0) return true;
    std::remove(partial.c_str());
    return false;
}

RgbPixels scaleToCover(const RgbPixels& picture, int width, int height) {
    RgbPixels scaled;
    scaled.width = width;
    scaled.height = height;
    scaled.rgb.resize(static_cast<std::size_t>(width) * height);
    const double scale = std::max(static_cast<double>(width) / picture.width,
                                  static_cast<double>(height) / picture.height);
    const double left = (picture.width - width / scale) / 2;
    const double top = (picture.height - height / scale) / 2;
    std::vector<int> columns(width);
    for (int x = 0; x < width; ++x)
        columns[x] = std::clamp(static_cast<int>(left + (x + 0.5) / scale), 0, picture.width - 1);
    for (int y = 0; y < height; ++y) {
        int sourceRow = std::clamp(static_cast<int>(top + (y + 0.5) / scale), 0, picture.height - 1);
        for (int x = 0; x < width; ++x)
            scaled.rgb[static_cast<std::size_t>(y) * width + x] = picture.at(columns[x], sourceRow);
    }
    return scaled;
}

}  // namespace velmora::platform
