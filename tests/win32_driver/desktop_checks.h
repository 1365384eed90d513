#pragma once
// What the program left on the desktop, read back through the system's own calls: the
// clipboard's device-independent bitmap, the remembered wallpaper name, the wallpaper
// bitmap file and the system's wallpaper setting.

#include <optional>
#include <string>

namespace velmora::driver {

struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};

// The size of the CF_DIB on the clipboard, if there is one.
std::optional<PictureSize> clipboardDibSize();

// A REG_SZ value under HKEY_CURRENT_USER, if it is there and of that type.
std::optional<std::wstring> userStringValue(const std::wstring& key, const std::wstring& name);
// The size of a 24-bit uncompressed BMP file; nothing when the file is missing or another kind.
std::optional<PictureSize> bmpFileSize(const std::wstring& path);
// SystemParametersInfoW(SPI_GETDESKWALLPAPER).
std::wstring systemWallpaper();

}  // namespace velmora::driver
