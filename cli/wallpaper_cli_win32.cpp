#include "cli/wallpaper_cli_win32.h"

#include <windows.h>

#include "base/utf16.h"

namespace velmora {

std::string thisWindowsProgram() {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? "velmora.exe" : fromUtf16(std::wstring(path, length));
}

std::string fullWindowsPath(const std::string& path) {
    wchar_t full[MAX_PATH + 1] = {};
    DWORD length = GetFullPathNameW(toUtf16(path).c_str(), MAX_PATH, full, nullptr);
    return length == 0 || length >= MAX_PATH ? path : fromUtf16(std::wstring(full, length));
}

WindowsWallpaperSettings::WindowsWallpaperSettings(const platform::Platform& platform)
    : store_(platform.registry, platform.files, wallpaperSettingNames()),
      timer_(thisWindowsProgram()),
      services_{store_, timer_, fullWindowsPath} {}

}  // namespace velmora
