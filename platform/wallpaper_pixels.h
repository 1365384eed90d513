#pragma once
// The wallpaper's picture handed over in memory, for a desktop that draws it itself
// (the X root window): it never reads back the file the command has just written, and
// asks for the picture only as large as its screen needs.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace velmora::platform {

// 24-bit blue-green-red pixels, rows top first `stride` bytes apart, kept alive by `owner`.
struct BgrPixels {
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
    const std::uint8_t* bits = nullptr;
    std::shared_ptr<const void> owner;

    // 0x00RRGGBB.
    std::uint32_t at(int x, int y) const {
        const std::uint8_t* pixel = bits + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3;
        return static_cast<std::uint32_t>(pixel[2]) << 16 | static_cast<std::uint32_t>(pixel[1]) << 8 | pixel[0];
    }
};

struct WallpaperPixels {
    int width = 0;  // the whole picture's size, upright
    int height = 0;
    // The picture at least minWidth x minHeight large where a smaller decode gives that
    // (the whole picture otherwise); safe to call from another thread, also after the
    // caller has gone on. Raises what the decoder raises.
    std::function<BgrPixels(int minWidth, int minHeight)> at;

    explicit operator bool() const { return width > 0 && height > 0 && at != nullptr; }
};

}  // namespace velmora::platform
