#pragma once
// The pixels of the wallpaper bitmap, for a backend that draws the picture itself
// (the X root window). Reads the uncompressed BMP files the wallpaper command writes:
// 24 or 32 bits per pixel, or 8 bits with a palette.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

struct RgbPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;  // 0x00RRGGBB, rows top to bottom

    std::uint32_t at(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

// Nothing when the file cannot be read or is not such a BMP file.
std::optional<RgbPixels> readBmpPixels(const std::string& path);

// Writes the picture as a 24-bit BMP file, replacing it whole. False when it cannot.
bool writeBmpPixels(const RgbPixels& picture, const std::string& path);

// The picture scaled proportionally until it covers width x height, centred, the
// overhang cut off (what desktops call "zoom" or "fill").
RgbPixels scaleToCover(const RgbPixels& picture, int width, int height);

}  // namespace velmora::platform
