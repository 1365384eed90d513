#include "platform/monitors_linux.h"

#include <sstream>

#include <climits>
#include <optional>
#include <cstdlib>

#include "platform/bmp_pixels.h"
#include "platform/picture_fit.h"
#include "platform/process_runner.h"

namespace velmora::platform {
namespace {

// "1920/510x1080/290+0+0" (sizes in pixels and millimetres, then the offset).
bool parseGeometry(const std::string& text, PixelRect& rect) {
    const char* at = text.c_str();
    char* end = nullptr;
    auto number = [&](bool signedValue) {
        long value = std::strtol(at, &end, 10);
        bool ok = end != at && (signedValue || value >= 0) && value > INT_MIN / 2 && value < INT_MAX / 2;
        at = end;
        return ok ? static_cast<int>(value) : -1;
    };
    auto skipMillimetres = [&] {
        if (*at != '/') return;
        ++at;
        number(false);
    };
    rect.width = number(false);
    skipMillimetres();
    if (*at++ != 'x') return false;
    rect.height = number(false);
    skipMillimetres();
    if (*at != '+' && *at != '-') return false;
    rect.x = static_cast<int>(std::strtol(at, &end, 10));
    at = end;
    if (*at != '+' && *at != '-') return false;
    rect.y = static_cast<int>(std::strtol(at, &end, 10));
    return rect.width > 0 && rect.height > 0 && end != at;
}

// The integer after "key": in a JSON object's text, from `from` on.
std::optional<long> jsonNumber(const std::string& json, const std::string& key, std::size_t from, std::size_t to) {
    std::size_t at = json.find("\"" + key + "\"", from);
    if (at == std::string::npos || at >= to) return std::nullopt;
    at = json.find(':', at);
    if (at == std::string::npos) return std::nullopt;
    char* end = nullptr;
    long value = std::strtol(json.c_str() + at + 1, &end, 10);
    if (end == json.c_str() + at + 1) return std::nullopt;
    return value;
}

// The string after "key": in the same way; sway's output names need no unescaping.
std::string jsonString(const std::string& json, const std::string& key, std::size_t from, std::size_t to) {
    std::size_t at = json.find("\"" + key + "\"", from);
    if (at == std::string::npos || at >= to) return "";
    std::size_t open = json.find('"', json.find(':', at));
    std::size_t close = open == std::string::npos ? open : json.find('"', open + 1);
    return close == std::string::npos ? "" : json.substr(open + 1, close - open - 1);
}

}  // namespace

std::vector<Monitor> parseRandrMonitors(const std::string& listing) {
    std::vector<Monitor> monitors;
    for (const std::string& line : outputLines(listing)) {
        std::size_t colon = line.find(": ");
        if (colon == std::string::npos) continue;
        std::size_t nameStart = line.find_first_not_of("+*", colon + 2);
        std::size_t blank = line.find(' ', nameStart);
        if (nameStart == std::string::npos || blank == std::string::npos) continue;
        Monitor monitor;
        monitor.name = line.substr(nameStart, blank - nameStart);
        std::size_t geometryEnd = line.find(' ', blank + 1);
        if (!parseGeometry(line.substr(blank + 1, geometryEnd - blank - 1), monitor.rect)) continue;
        bool primary = line.compare(colon + 2, 2, "+*") == 0;
        monitors.insert(primary ? monitors.begin() : monitors.end(), monitor);
    }
    return monitors;
}

std::vector<Monitor> parseSwayOutputs(const std::string& json) {
    std::vector<Monitor> monitors;
    // Each output is one object holding "name", "active" and "rect": {x, y, width, height}.
    for (std::size_t at = json.find("\"name\""); at != std::string::npos;) {
        std::size_t next = json.find("\"name\"", at + 1);
        // Nested objects (modes, current_mode) hold no "name"; the output's keys lie between two names.
        std::size_t start = json.rfind('{', at);
        std::size_t end = next == std::string::npos ? json.size() : json.rfind('{', next);
        std::size_t rect = json.find("\"rect\"", start);
        bool active = json.find("\"active\": true", start) < end || json.find("\"active\":true", start) < end;
        if (rect < end && active) {
            Monitor monitor;
            monitor.name = jsonString(json, "name", at, end);
            auto x = jsonNumber(json, "x", rect, end), y = jsonNumber(json, "y", rect, end);
            auto width = jsonNumber(json, "width", rect, end), height = jsonNumber(json, "height", rect, end);
            if (x && y && width && height && *width > 0 && *height > 0 && *width < 65536 && *height < 65536) {
                monitor.rect = {static_cast<int>(*x), static_cast<int>(*y), static_cast<int>(*width),
                                static_cast<int>(*height)};
                monitors.push_back(monitor);
            }
        }
        at = next;
    }
    return monitors;
}

std::vector<Monitor> parsePlasmaScreens(const std::string& reply) {
    std::vector<Monitor> monitors;
    const std::size_t open = reply.find("string \"");
    const std::size_t close = reply.rfind('"');
    if (open == std::string::npos || close <= open + 8) return monitors;
    std::istringstream lines(reply.substr(open + 8, close - open - 8));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        long screen = 0, x = 0, y = 0, width = 0, height = 0;
        if (!(fields >> screen >> x >> y >> width >> height)) continue;
        // Screens come in their numbers' order: a gap or a bogus size makes the list untrustworthy.
        if (screen != static_cast<long>(monitors.size()) || width <= 0 || height <= 0 || width >= 65536 ||
            height >= 65536 || x <= -65536 || x >= 65536 || y <= -65536 || y >= 65536)
            return {};
        monitors.push_back({"screen " + std::to_string(screen),
                            {static_cast<int>(x), static_cast<int>(y), static_cast<int>(width), static_cast<int>(height)}});
    }
    return monitors;
}

std::vector<Monitor> findMonitors(DesktopFamily family, const DesktopServices& services) {
    if (family == DesktopFamily::Sway) {
        auto json = services.output({"swaymsg", "-t", "get_outputs", "-r"});
        return json ? parseSwayOutputs(*json) : std::vector<Monitor>{};
    }
    if (family == DesktopFamily::Plasma && services.programOnPath("dbus-send")) {
        // The shell numbers the screens its per-screen script uses; on Wayland RandR cannot tell.
        auto reply = services.output({"dbus-send", "--session", "--print-reply", "--reply-timeout=2500",
                                      "--dest=org.kde.plasmashell", "/PlasmaShell",
                                      "org.kde.PlasmaShell.evaluateScript", "string:" + plasmaScreensScript()});
        if (reply) {
            if (std::vector<Monitor> screens = parsePlasmaScreens(*reply); !screens.empty()) return screens;
        }
    }
    if (family == DesktopFamily::Unknown) return {};
    auto listing = services.output({"xrandr", "--listactivemonitors"});
    return listing ? parseRandrMonitors(*listing) : std::vector<Monitor>{};
}

bool applyMonitorWallpapers(DesktopFamily family, const std::vector<Monitor>& monitors,
                            const std::vector<std::string>& files, const std::string& spannedFile,
                            const WallpaperLayout& layout, const DesktopServices& services) {
    if (monitors.size() < 2 || files.size() < monitors.size())
        return applyWallpaper(family, files.empty() ? "" : files[0], services, layout);
    std::vector<PixelRect> areas;
    for (const Monitor& monitor : monitors) areas.push_back(monitor.rect);
    switch (family) {
    case DesktopFamily::Sway: {
        bool written = true;
        for (std::size_t i = 0; i < monitors.size(); ++i)
            written = setSwayOutputWallpaper(monitors[i].name, files[i], services, layout.fit) && written;
        return written;
    }
    case DesktopFamily::Xfce: {
        std::vector<std::pair<std::string, std::string>> named;
        for (std::size_t i = 0; i < monitors.size(); ++i) named.emplace_back(monitors[i].name, files[i]);
        return setXfceMonitorWallpapers(named, files[0], services, layout.fit);
    }
    case DesktopFamily::Plasma: return setPlasmaMonitorWallpapers(files, services, layout.fit);
    case DesktopFamily::X11:
        return services.setRootBackgroundAreas && services.setRootBackgroundAreas(files, areas, layout.fit);
    case DesktopFamily::Gnome:
    case DesktopFamily::Cinnamon:
    case DesktopFamily::Mate:
    case DesktopFamily::Lxde: {
        // These take one picture: the monitors' pictures composed into one, spanned
        // (pcmanfm's mode "screen"). LXQt's pcmanfm-qt cannot span: one picture there.
        std::vector<RgbPixels> pictures;
        for (const std::string& file : files) {
            std::optional<RgbPixels> picture = readBmpPixels(file);
            if (!picture) return false;
            pictures.push_back(std::move(*picture));
        }
        RgbPixels composed = composeAreas(areas, pictures, layout.fit.value_or(FitMode::Fill));
        if (composed.rgb.empty() || !writeBmpPixels(composed, spannedFile)) return false;
        WallpaperLayout spanned = layout;
        spanned.fit = FitMode::Span;
        return applyWallpaper(family, spannedFile, services, spanned);
    }
    default: break;
    }
    return applyWallpaper(family, files[0], services, layout);
}

}  // namespace velmora::platform
