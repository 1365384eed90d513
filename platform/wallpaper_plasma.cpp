// KDE Plasma: its own tool where installed (Plasma 5.24 and later), else a script
// run by the shell itself over D-Bus (Plasma 5.7 and later).
#include "platform/desktop_linux.h"
#include "platform/wallpaper_backends.h"

namespace velmora::platform {

std::string plasmaWallpaperScript(const std::string& uri, std::optional<int> fillMode) {
    // The URI is percent-encoded (fileUri), so it needs no escaping inside the quotes.
    return "var all = desktops();\n"
           "for (var i = 0; i < all.length; i++) {\n"
           "    var d = all[i];\n"
           "    d.wallpaperPlugin = \"org.kde.image\";\n"
           "    d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
           "    d.writeConfig(\"Image\", \"" + uri + "\");\n" +
           (fillMode ? "    d.writeConfig(\"FillMode\", " + std::to_string(*fillMode) + ");\n" : "") +
           "}\n";
}

std::string plasmaMonitorsScript(const std::vector<std::string>& uris, std::optional<int> fillMode) {
    // Plasma keeps one desktop per screen; screen 0 is the primary monitor.
    std::string list;
    for (const std::string& uri : uris) list += (list.empty() ? "\"" : ", \"") + uri + "\"";
    return "var images = [" + list + "];\n"
           "var all = desktops();\n"
           "for (var i = 0; i < all.length; i++) {\n"
           "    var d = all[i];\n"
           "    var screen = d.screen >= 0 && d.screen < images.length ? d.screen : 0;\n"
           "    d.wallpaperPlugin = \"org.kde.image\";\n"
           "    d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
           "    d.writeConfig(\"Image\", images[screen]);\n" +
           (fillMode ? "    d.writeConfig(\"FillMode\", " + std::to_string(*fillMode) + ");\n" : "") +
           "}\n";
}

std::string plasmaScreensScript() {
    return "for (var i = 0; i < screenCount; i++) {\n"
           "    var g = screenGeometry(i);\n"
           "    print(i + \" \" + g.x + \" \" + g.y + \" \" + g.width + \" \" + g.height + \"\\n\");\n"
           "}\n";
}

bool setPlasmaMonitorWallpapers(const std::vector<std::string>& files, const DesktopServices& services,
                                std::optional<FitMode> fit) {
    if (!services.programOnPath("dbus-send")) return false;
    std::vector<std::string> uris;
    for (const std::string& file : files) uris.push_back(fileUri(file));
    std::optional<int> fillMode;
    if (fit) fillMode = plasmaFillMode(*fit);
    return services.run({"dbus-send", "--session", "--print-reply", "--reply-timeout=2500",
                         "--dest=org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript",
                         "string:" + plasmaMonitorsScript(uris, fillMode)});
}

int plasmaFillMode(FitMode mode) {
    switch (mode) {
    case FitMode::Fit: return 1;
    case FitMode::Stretch: return 0;
    case FitMode::Center: return 6;
    case FitMode::Tile: return 3;
    case FitMode::Fill:
    case FitMode::Span: break;
    }
    return 2;
}

bool setPlasmaWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit) {
    // The tool takes no fill mode: with one chosen, the script says both.
    if (!fit && services.programOnPath("plasma-apply-wallpaperimage") &&
        services.run({"plasma-apply-wallpaperimage", file}))
        return true;
    if (!services.programOnPath("dbus-send")) return false;
    std::optional<int> fillMode;
    if (fit) fillMode = plasmaFillMode(*fit);
    return services.run({"dbus-send", "--session", "--print-reply", "--reply-timeout=2500",
                         "--dest=org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript",
                         "string:" + plasmaWallpaperScript(fileUri(file), fillMode)});
}

bool setPlasmaLockScreen(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit) {
    for (const char* tool : {"kwriteconfig6", "kwriteconfig5"}) {
        if (!services.programOnPath(tool)) continue;
        std::vector<std::string> group{tool,     "--file",  "kscreenlockerrc", "--group", "Greeter", "--group",
                                       "Wallpaper", "--group", "org.kde.image",   "--group", "General"};
        auto write = [&](const std::string& key, const std::string& value) {
            std::vector<std::string> argv = group;
            argv.insert(argv.end(), {"--key", key, value});
            return services.run(argv);
        };
        bool written = write("Image", fileUri(file));
        if (fit) written = write("FillMode", std::to_string(plasmaFillMode(*fit))) && written;
        return written;
    }
    return false;
}

}  // namespace velmora::platform
