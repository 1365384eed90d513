#include "platform/monitors_linux.h"

#include <sstream>

#include <cctype>
#include <climits>
#include <map>
#include <string_view>
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

// Where the JSON value starting at `at` ends: past its string, or its object or array
// with everything nested in it, or at the next ',', '}' or ']' for a plain value.
std::size_t valueEnd(std::string_view json, std::size_t at) {
    int depth = 0;
    bool inString = false;
    for (; at < json.size(); ++at) {
        const char c = json[at];
        if (inString) {
            if (c == '\\') ++at;
            else if (c == '"') inString = false;
            if (!inString && depth == 0) return at + 1;
            continue;
        }
        if (c == '"') inString = true;
        else if (c == '{' || c == '[') ++depth;
        else if (c == '}' || c == ']') {
            if (depth == 0) return at;
            if (--depth == 0) return at + 1;
        } else if (c == ',' && depth == 0) return at;
    }
    return json.size();
}

std::size_t skipSpace(std::string_view json, std::size_t at) {
    while (at < json.size() && std::isspace(static_cast<unsigned char>(json[at]))) ++at;
    return at;
}

// The values of an object's own members (not those of objects inside it), by key;
// sway's keys and names need no unescaping.
std::map<std::string, std::string_view> members(std::string_view object) {
    std::map<std::string, std::string_view> found;
    std::size_t at = skipSpace(object, 0);
    if (at >= object.size() || object[at] != '{') return found;
    for (at = skipSpace(object, at + 1); at < object.size() && object[at] == '"';) {
        const std::size_t keyEnd = valueEnd(object, at);
        if (keyEnd < at + 2 || object[keyEnd - 1] != '"') break;  // a key cut short
        const std::string key(object.substr(at + 1, keyEnd - at - 2));
        at = skipSpace(object, keyEnd);
        if (at >= object.size() || object[at] != ':') break;
        const std::size_t value = skipSpace(object, at + 1);
        const std::size_t end = valueEnd(object, value);
        std::size_t last = end;
        while (last > value && std::isspace(static_cast<unsigned char>(object[last - 1]))) --last;
        found.emplace(key, object.substr(value, last - value));
        at = skipSpace(object, end);
        if (at >= object.size() || object[at] != ',') break;
        at = skipSpace(object, at + 1);
    }
    return found;
}

std::optional<int> jsonInteger(const std::map<std::string, std::string_view>& object, const std::string& key) {
    auto found = object.find(key);
    if (found == object.end()) return std::nullopt;
    const std::string text(found->second);
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || value <= -65536 || value >= 65536) return std::nullopt;
    return static_cast<int>(value);
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
    std::string_view text(json);
    std::size_t at = skipSpace(text, 0);
    if (at >= text.size() || text[at] != '[') return monitors;
    // Each element of the array is an output: its own "name", "active" and "rect".
    for (at = skipSpace(text, at + 1); at < text.size() && text[at] == '{';) {
        const std::size_t end = valueEnd(text, at);
        const auto output = members(text.substr(at, end - at));
        auto name = output.find("name"), active = output.find("active"), rect = output.find("rect");
        if (name != output.end() && active != output.end() && active->second == "true" && rect != output.end() &&
            name->second.size() >= 2) {
            const auto area = members(rect->second);
            auto x = jsonInteger(area, "x"), y = jsonInteger(area, "y");
            auto width = jsonInteger(area, "width"), height = jsonInteger(area, "height");
            if (x && y && width && height && *width > 0 && *height > 0)
                monitors.push_back({std::string(name->second.substr(1, name->second.size() - 2)),
                                    {*x, *y, *width, *height}});
        }
        at = skipSpace(text, end);
        if (at >= text.size() || text[at] != ',') break;
        at = skipSpace(text, at + 1);
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
