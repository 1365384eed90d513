#include "platform/desktop_win32.h"

#include <windows.h>

#include "base/utf16.h"
#include "platform/monitors_win32.h"
#include "platform/system_programs_win32.h"

namespace velmora::platform {

namespace {

bool writeDesktopString(const wchar_t* name, const char* text) {
    std::wstring value = toUtf16(text);
    return RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

bool WindowsDesktop::setWallpaper(const std::string& path) {
    if (layout_.fit) {
        WindowsWallpaperStyle style = windowsWallpaperStyle(*layout_.fit);
        writeDesktopString(L"WallpaperStyle", style.style);
        writeDesktopString(L"TileWallpaper", style.tile);
    }
    std::wstring file = toUtf16(path);
    if (!SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, file.data(), SPIF_UPDATEINIFILE)) return false;
    // Then the second and later monitors get their own pictures, in monitors()' order.
    if (!layout_.monitorFiles.empty()) {
        const std::vector<WallpaperMonitor> monitors = wallpaperMonitors();
        for (std::size_t i = 0; i < layout_.monitorFiles.size() && i + 1 < monitors.size(); ++i) {
            setMonitorWallpaper(monitors[i + 1].id, toUtf16(layout_.monitorFiles[i]));
        }
    }
    return true;
}

std::vector<Monitor> WindowsDesktop::monitors() {
    std::vector<Monitor> monitors;
    for (WallpaperMonitor& monitor : wallpaperMonitors()) monitors.push_back(std::move(monitor.monitor));
    return monitors;
}

unsigned WindowsDesktop::mapVirtualKey(unsigned code, unsigned mapType) {
    return MapVirtualKeyA(code, mapType);
}

void WindowsDesktop::keyboardEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                                   std::uintptr_t extraInfo) {
    keybd_event(virtualKey, scanCode, flags, extraInfo);
}

void WindowsDesktop::sleep(unsigned milliseconds) {
    Sleep(milliseconds);
}

bool WindowsDesktop::shellExecute(const std::string& verb, const std::string& file, const std::string& parameters,
                                  unsigned showCommand) {
    return shellExecuteFile(verb, file, parameters, static_cast<int>(showCommand));
}

std::string currentWallpaper() {
    wchar_t path[MAX_PATH + 1] = {};
    if (!SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0)) return "";
    return fromUtf16(std::wstring(path));
}

}  // namespace velmora::platform
