#include "tests/win32_driver/desktop_checks.h"

#include <windows.h>

#include <filesystem>
#include <fstream>

namespace velmora::driver {

std::optional<PictureSize> clipboardDibSize() {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    std::optional<PictureSize> size;
    if (HANDLE data = GetClipboardData(CF_DIB)) {
        if (const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data))) {
            size = PictureSize{header->biWidth, header->biHeight < 0 ? -header->biHeight : header->biHeight};
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return size;
}

std::optional<std::wstring> userStringValue(const std::wstring& key, const std::wstring& name) {
    DWORD type = 0, size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, &type, value.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.resize(wcsnlen(value.c_str(), value.size()));
    return value;
}

std::optional<PictureSize> bmpFileSize(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    BITMAPFILEHEADER fileHeader{};
    BITMAPINFOHEADER info{};
    if (!file.read(reinterpret_cast<char*>(&fileHeader), sizeof fileHeader) ||
        !file.read(reinterpret_cast<char*>(&info), sizeof info)) {
        return std::nullopt;
    }
    if (fileHeader.bfType != 0x4D42 || info.biBitCount != 24 || info.biCompression != BI_RGB) return std::nullopt;
    return PictureSize{info.biWidth, info.biHeight < 0 ? -info.biHeight : info.biHeight};
}

std::wstring systemWallpaper() {
    wchar_t path[MAX_PATH + 1] = {};
    if (!SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0)) return L"";
    return path;
}

}  // namespace velmora::driver
