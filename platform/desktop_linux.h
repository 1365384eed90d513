#pragma once
// The desktop services on this machine. The wallpaper is kept as
// HKCU\Control Panel\Desktop "Wallpaper" in the registry and handed to the running
// desktop where one is found (GNOME and its relatives through gsettings, MATE,
// Cinnamon, KDE Plasma); Win+M becomes the window manager's "show desktop" request.
// Everything reaching outside the process goes through DesktopServices, so tests
// can record it instead.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/registry.h"

namespace velmora::platform {

struct DesktopServices {
    std::function<std::string(const char* name)> environment;  // "" when unset
    std::function<bool(const std::string& name)> programOnPath;
    std::function<bool(const std::vector<std::string>& argv)> run;  // bounded in time
    std::function<bool()> requestShowDesktop;
    std::function<void(unsigned milliseconds)> sleep;
    // Opens a web address or file URL; the browser plugs in QDesktopServices. Unset,
    // shellExecute() fails.
    std::function<bool(const std::string& url)> openUrl;

    // The real ones; each helper program may take at most `timeout`.
    static DesktopServices system(std::chrono::milliseconds timeout = std::chrono::seconds(3));
};

class LinuxDesktop : public Desktop {
public:
    LinuxDesktop(Registry& registry, DesktopServices services = DesktopServices::system());

    bool setWallpaper(const std::string& path) override;
    unsigned mapVirtualKey(unsigned code, unsigned mapType) override;
    void keyboardEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                       std::uintptr_t extraInfo) override;
    void sleep(unsigned milliseconds) override;
    bool shellExecute(const std::string& verb, const std::string& file,
                      const std::string& parameters, unsigned showCommand) override;

    DesktopServices& services() { return services_; }

private:
    bool rememberWallpaper(const std::string& path);
    void applyToRunningDesktop(const std::string& file);

    Registry& registry_;
    DesktopServices services_;
    bool windowsKeyDown_ = false;
};

// "file:///..." for an absolute path of this machine, bytes outside the unreserved
// set percent-encoded.
std::string fileUri(const std::string& absolutePath);

}  // namespace velmora::platform
