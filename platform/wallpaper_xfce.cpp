// Xfce keeps one image per screen, monitor and workspace in the xfconf channel
// xfce4-desktop; xfdesktop follows changes to it at once.
#include <cctype>

#include "platform/process_runner.h"
#include "platform/wallpaper_backends.h"

namespace velmora::platform {
namespace {

const char* const kChannel = "xfce4-desktop";

bool isBackdropImage(const std::string& property) {
    // /backdrop/screen0/monitorHDMI-1/workspace0/last-image, or image-path before Xfce 4.12.
    if (property.rfind("/backdrop/screen", 0) != 0 || property.find("/monitor") == std::string::npos) return false;
    return (property.ends_with("/last-image") && property.find("/workspace") != std::string::npos) ||
           property.ends_with("/image-path");
}

// The first number after the last "=" of xprop's answer, e.g. "_NET_CURRENT_DESKTOP(CARDINAL) = 2".
std::string numberAfterEquals(const std::string& text) {
    std::size_t at = text.rfind('=');
    std::string digits;
    if (at == std::string::npos) return digits;
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(text[i]))) {
            digits += text[i];
        } else if (!digits.empty()) {
            break;
        }
    }
    return digits;
}

// The primary monitor's output name from "xrandr --listactivemonitors", whose lines
// read " 0: +*HDMI-1 1920/510x1080/290+0+0  HDMI-1"; else the first monitor's.
std::string monitorName(const std::string& listing) {
    std::string first;
    for (const std::string& line : outputLines(listing)) {
        std::size_t colon = line.find(": +");
        if (colon == std::string::npos) continue;
        std::string name = line.substr(line.find_last_of(' ') + 1);
        if (line.compare(colon + 3, 1, "*") == 0) return name;
        if (first.empty()) first = name;
    }
    return first;
}

// The image-style property beside an image property.
std::string styleProperty(const std::string& imageProperty) {
    return imageProperty.substr(0, imageProperty.rfind('/')) + "/image-style";
}

bool setImage(const DesktopServices& services, const std::string& property, const std::string& file,
              std::optional<FitMode> fit, bool create) {
    std::vector<std::string> argv{"xfconf-query", "-c", kChannel, "-p", property};
    if (create) argv.insert(argv.end(), {"-n", "-t", "string"});
    argv.insert(argv.end(), {"-s", file});
    bool written = services.run(argv);
    if (fit)
        written = services.run({"xfconf-query", "-c", kChannel, "-p", styleProperty(property), "-n", "-t", "int", "-s",
                                std::to_string(xfceImageStyle(*fit))}) && written;
    return written;
}

}  // namespace

int xfceImageStyle(FitMode mode) {
    switch (mode) {
    case FitMode::Fill: return 5;
    case FitMode::Fit: return 4;
    case FitMode::Stretch: return 3;
    case FitMode::Center: return 1;
    case FitMode::Tile: return 2;
    case FitMode::Span: return 6;
    }
    return 5;
}

std::string currentXfceBackdropProperty(const DesktopServices& services) {
    // DISPLAY is ":0" or ":0.1"; the part after the dot is the screen.
    std::string display = services.environment("DISPLAY");
    std::size_t dot = display.rfind('.');
    std::string screen = dot != std::string::npos && display.find(':') < dot ? display.substr(dot + 1) : "0";
    std::string monitor;
    if (auto listing = services.output({"xrandr", "--listactivemonitors"})) monitor = monitorName(*listing);
    std::string workspace;
    if (auto answer = services.output({"xprop", "-root", "_NET_CURRENT_DESKTOP"})) workspace = numberAfterEquals(*answer);
    return "/backdrop/screen" + screen + "/monitor" + (monitor.empty() ? "0" : monitor) + "/workspace" +
           (workspace.empty() ? "0" : workspace) + "/last-image";
}

bool setXfceMonitorWallpapers(const std::vector<std::pair<std::string, std::string>>& monitorFiles,
                              const std::string& otherFile, const DesktopServices& services, std::optional<FitMode> fit) {
    if (!services.programOnPath("xfconf-query")) return false;
    std::vector<std::string> properties;
    if (auto listed = services.output({"xfconf-query", "-c", kChannel, "-l"}))
        for (const std::string& property : outputLines(*listed))
            if (isBackdropImage(property)) properties.push_back(property);
    bool written = true;
    std::vector<bool> found(monitorFiles.size(), false);
    for (const std::string& property : properties) {
        std::string file = otherFile;
        for (std::size_t i = 0; i < monitorFiles.size(); ++i) {
            if (property.find("/monitor" + monitorFiles[i].first + "/") == std::string::npos) continue;
            file = monitorFiles[i].second;
            found[i] = true;
        }
        written = setImage(services, property, file, fit, false) && written;
    }
    // A monitor Xfce has not seen yet gets the property of the current workspace.
    const std::string current = currentXfceBackdropProperty(services);
    const std::size_t monitorAt = current.find("/monitor"), workspaceAt = current.find("/workspace");
    for (std::size_t i = 0; i < monitorFiles.size(); ++i) {
        if (found[i]) continue;
        const std::string property = current.substr(0, monitorAt) + "/monitor" + monitorFiles[i].first +
                                     current.substr(workspaceAt);
        written = setImage(services, property, monitorFiles[i].second, fit, true) && written;
    }
    return written;
}

bool setXfceWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit) {
    if (!services.programOnPath("xfconf-query")) return false;
    std::vector<std::string> properties;
    if (auto listed = services.output({"xfconf-query", "-c", kChannel, "-l"}))
        for (const std::string& property : outputLines(*listed))
            if (isBackdropImage(property)) properties.push_back(property);
    if (properties.empty()) return setImage(services, currentXfceBackdropProperty(services), file, fit, true);
    bool written = true;
    for (const std::string& property : properties) written = setImage(services, property, file, fit, false) && written;
    return written;
}

}  // namespace velmora::platform
