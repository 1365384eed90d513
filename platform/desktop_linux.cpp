#include "platform/desktop_linux.h"

#include <cstdlib>
#include <thread>

#include <unistd.h>

#include "platform/ascii_case.h"
#include "platform/drive_folder.h"
#include "platform/process_runner.h"
#include "platform/show_desktop_x11.h"
#include "platform/virtual_keys.h"

namespace velmora::platform {
namespace {

const char* const kDesktopKey = "Control Panel\\Desktop";

bool desktopIs(const std::string& currentDesktops, const std::string& name) {
    // XDG_CURRENT_DESKTOP is a colon-separated list such as "ubuntu:GNOME".
    std::string list = ":" + foldAsciiCase(currentDesktops) + ":";
    return list.find(":" + foldAsciiCase(name) + ":") != std::string::npos;
}

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
    services.requestShowDesktop = [] { return velmora::platform::requestShowDesktop(); };
    services.sleep = [](unsigned milliseconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    };
    return services;
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
    std::string data = path + '\0';
    long code = registry_.setValue(key, "Wallpaper", kRegSz,
                                   reinterpret_cast<const std::uint8_t*>(data.data()),
                                   static_cast<std::uint32_t>(data.size()));
    registry_.closeKey(key);
    return code == 0;
}

void LinuxDesktop::applyToRunningDesktop(const std::string& file) {
    std::string uri = fileUri(file);
    std::string desktops = services_.environment("XDG_CURRENT_DESKTOP");
    if (services_.programOnPath("gsettings")) {
        // GNOME, Ubuntu, Budgie, Pantheon and Unity share these keys; the dark one
        // is what GNOME shows in dark style.
        services_.run({"gsettings", "set", "org.gnome.desktop.background", "picture-uri", uri});
        services_.run({"gsettings", "set", "org.gnome.desktop.background", "picture-uri-dark", uri});
        if (desktopIs(desktops, "X-Cinnamon") || desktopIs(desktops, "Cinnamon"))
            services_.run({"gsettings", "set", "org.cinnamon.desktop.background", "picture-uri", uri});
        if (desktopIs(desktops, "MATE"))
            services_.run({"gsettings", "set", "org.mate.background", "picture-filename", file});
    }
    if (desktopIs(desktops, "KDE") && services_.programOnPath("plasma-apply-wallpaperimage"))
        services_.run({"plasma-apply-wallpaperimage", file});
}

bool LinuxDesktop::setWallpaper(const std::string& path) {
    if (!rememberWallpaper(path)) return false;
    std::string host;
    if (hostPath(path, host) != 0) return false;
    applyToRunningDesktop(absolute(host));
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
