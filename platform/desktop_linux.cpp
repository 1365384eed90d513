#include "platform/desktop_linux.h"

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>

#include <unistd.h>

#include "platform/ascii_case.h"
#include "platform/drive_folder.h"
#include "platform/monitors_linux.h"
#include "platform/posix_file.h"
#include "platform/process_runner.h"
#include "platform/root_background_x11.h"
#include "platform/show_desktop_x11.h"
#include "platform/virtual_keys.h"
#include "platform/wallpaper_backends.h"

namespace velmora::platform {
namespace {

const char* const kDesktopKey = "Control Panel\\Desktop";

std::string absolute(const std::string& host) {
    if (!host.empty() && host[0] == '/') return host;
    char buffer[4096];
    std::string cwd = ::getcwd(buffer, sizeof buffer) ? buffer : "/";
    return cwd + "/" + (host.rfind("./", 0) == 0 ? host.substr(2) : host);
}

}  // namespace

DesktopServices DesktopServices::system(std::chrono::milliseconds timeout) {
    DesktopServices services;
    services.environment = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
    };
    services.programOnPath = [](const std::string& name) { return velmora::platform::programOnPath(name); };
    services.run = [timeout](const std::vector<std::string>& argv) { return runProgram(argv, timeout); };
    services.capture = [timeout](const std::vector<std::string>& argv) { return captureProgram(argv, timeout); };
    services.setRootBackground = [timeout](const std::string& file, std::optional<FitMode> fit,
                                           const WallpaperPixels& pixels) {
        return platform::setRootBackground(file, timeout, fit, pixels);
    };
    services.setRootBackgroundAreas = [timeout](const std::vector<std::string>& files,
                                                const std::vector<PixelRect>& areas, std::optional<FitMode> fit) {
        return platform::setRootBackgroundAreas(files, areas, timeout, fit);
    };
    services.report = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
    services.requestShowDesktop = [] { return velmora::platform::requestShowDesktop(); };
    services.sleep = [](unsigned milliseconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    };
    return services;
}

std::optional<std::string> DesktopServices::output(const std::vector<std::string>& argv) const {
    if (!capture || argv.empty() || !programOnPath(argv[0])) return std::nullopt;
    return capture(argv);
}

std::string fileUri(const std::string& absolutePath) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : absolutePath) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

LinuxDesktop::LinuxDesktop(Registry& registry, DesktopServices services)
    : registry_(registry), services_(std::move(services)) {}

bool LinuxDesktop::rememberWallpaper(const std::string& path) {
    RegKey key = kNoKey;
    if (registry_.createKey(kHkeyCurrentUser, kDesktopKey, kKeyAllAccess, &key) != 0) return false;
    auto set = [this, key](const char* name, const std::string& text) {
        std::string data = text + '\0';
        return registry_.setValue(key, name, kRegSz, reinterpret_cast<const std::uint8_t*>(data.data()),
                                  static_cast<std::uint32_t>(data.size())) == 0;
    };
    bool written = true;
    if (layout_.fit) {
        WindowsWallpaperStyle style = windowsWallpaperStyle(*layout_.fit);
        written = set("WallpaperStyle", style.style) && set("TileWallpaper", style.tile);
    }
    written = written && set("Wallpaper", path);
    registry_.closeKey(key);
    return written;
}

bool LinuxDesktop::applyToRunningDesktop(const std::string& file, const WallpaperPixels& pixels) {
    DesktopFamily family = detectDesktopFamily(services_);
    bool applied = false;
    if (layout_.monitorFiles.empty()) {
        applied = applyWallpaper(family, file, services_, layout_, pixels);
    } else {
        std::vector<std::string> files{file};
        for (const std::string& path : layout_.monitorFiles) {
            std::string host;
            files.push_back(hostPath(path, host) == 0 ? absolute(host) : file);
        }
        const std::string spanned = parentFolder(files[1]) + "/spanned.bmp";
        applied = applyMonitorWallpapers(family, findMonitors(family, services_), files, spanned, layout_, services_);
    }
    if (services_.report) {
        services_.report(family == DesktopFamily::Unknown
                             ? "velmora: wallpaper not handed to the desktop: no known desktop is running"
                         : applied ? "velmora: wallpaper set through " + describeBackend(family) + ": " + file
                                   : "velmora: wallpaper not set: " + describeBackend(family) + " did not take " + file);
    }
    if (layout_.lockScreen) {
        std::string line = applyLockScreen(family, file, services_, layout_);
        if (services_.report) services_.report(line);
    }
    return applied;
}

std::vector<Monitor> LinuxDesktop::monitors() {
    switch (DesktopFamily family = detectDesktopFamily(services_)) {
    case DesktopFamily::Gnome:
    case DesktopFamily::Cinnamon:
    case DesktopFamily::Mate:
    case DesktopFamily::Lxde:
    case DesktopFamily::Xfce:
    case DesktopFamily::Plasma:
    case DesktopFamily::Sway:
    case DesktopFamily::X11: return findMonitors(family, services_);
    default: break;
    }
    return {};
}

bool LinuxDesktop::setWallpaper(const std::string& path) {
    wallpaperApplied_ = false;
    // The pixels belong to this call's file alone.
    const WallpaperPixels pixels = std::exchange(pixels_, {});
    if (!rememberWallpaper(path)) return false;
    std::string host;
    if (hostPath(path, host) != 0) return false;
    wallpaperApplied_ = applyToRunningDesktop(absolute(host), pixels);
    return true;
}

unsigned LinuxDesktop::mapVirtualKey(unsigned code, unsigned mapType) {
    return mapType == kMapVirtualKeyToScanCode ? scanCodeOfVirtualKey(code) : 0;
}

void LinuxDesktop::keyboardEvent(std::uint8_t virtualKey, std::uint8_t, std::uint32_t flags,
                                 std::uintptr_t) {
    bool down = (flags & kKeyEventKeyUp) == 0;
    if (virtualKey == kVkLeftWindows) {
        windowsKeyDown_ = down;
    } else if (virtualKey == kVkM && down && windowsKeyDown_) {
        services_.requestShowDesktop();
    }
}

void LinuxDesktop::sleep(unsigned milliseconds) {
    services_.sleep(milliseconds);
}

bool LinuxDesktop::shellExecute(const std::string& verb, const std::string& file,
                                const std::string& parameters, unsigned) {
    if (foldAsciiCase(verb) != "open" || !services_.openUrl) return false;
    // Explorer opens its parameter; any other file is opened itself.
    if (foldAsciiCase(file) == "explorer.exe") return services_.openUrl(parameters);
    if (file.find("://") != std::string::npos) return services_.openUrl(file);
    std::string host;
    if (hostPath(file, host) != 0) return false;
    return services_.openUrl(fileUri(absolute(host)));
}

}  // namespace velmora::platform
