#include "platform/monitors_win32.h"

#include <windows.h>
#include <shobjidl.h>

#include <algorithm>

#include "base/utf16.h"

namespace velmora::platform {

namespace {

// The shell's wallpaper object on this thread, with COM started for as long as it lives.
class DesktopWallpaper {
public:
    DesktopWallpaper() {
        const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        startedCom_ = SUCCEEDED(started);  // S_FALSE too: a matching CoUninitialize is owed
        // CLSID_DesktopWallpaper, spelled out: mingw's headers declare only the interface.
        static const CLSID kDesktopWallpaper = {0xc2cf3110, 0x460e, 0x4fc1, {0xb9, 0xd0, 0x8a, 0x1c, 0x0c, 0x9c, 0xc4, 0xbd}};
        if (FAILED(CoCreateInstance(kDesktopWallpaper, nullptr, CLSCTX_ALL, IID_IDesktopWallpaper,
                                    reinterpret_cast<void**>(&wallpaper_))))
            wallpaper_ = nullptr;
    }
    ~DesktopWallpaper() {
        if (wallpaper_) wallpaper_->Release();
        if (startedCom_) CoUninitialize();
    }
    DesktopWallpaper(const DesktopWallpaper&) = delete;
    DesktopWallpaper& operator=(const DesktopWallpaper&) = delete;

    IDesktopWallpaper* operator->() const { return wallpaper_; }
    explicit operator bool() const { return wallpaper_ != nullptr; }

private:
    bool startedCom_ = false;
    IDesktopWallpaper* wallpaper_ = nullptr;
};

}  // namespace

std::vector<WallpaperMonitor> wallpaperMonitors() {
    std::vector<WallpaperMonitor> monitors;
    DesktopWallpaper wallpaper;
    UINT count = 0;
    if (!wallpaper || FAILED(wallpaper->GetMonitorDevicePathCount(&count))) return monitors;
    for (UINT i = 0; i < count; ++i) {
        LPWSTR id = nullptr;
        if (FAILED(wallpaper->GetMonitorDevicePathAt(i, &id)) || !id) continue;
        RECT rect{};
        // A monitor that is listed but not attached has no rectangle.
        if (SUCCEEDED(wallpaper->GetMonitorRECT(id, &rect)) && rect.right > rect.left && rect.bottom > rect.top) {
            WallpaperMonitor monitor;
            monitor.id = id;
            monitor.monitor.name = fromUtf16(monitor.id);
            monitor.monitor.rect = {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
            monitors.push_back(std::move(monitor));
        }
        CoTaskMemFree(id);
    }
    std::stable_partition(monitors.begin(), monitors.end(), [](const WallpaperMonitor& m) {
        return m.monitor.rect.x == 0 && m.monitor.rect.y == 0;
    });
    return monitors;
}

bool setMonitorWallpaper(const std::wstring& id, const std::wstring& path) {
    DesktopWallpaper wallpaper;
    return wallpaper && SUCCEEDED(wallpaper->SetWallpaper(id.c_str(), path.c_str()));
}

}  // namespace velmora::platform
