// KDE Plasma: its own tool where installed (Plasma 5.24 and later), else a script
// run by the shell itself over D-Bus (Plasma 5.7 and later).
#include "platform/desktop_linux.h"
#include "platform/wallpaper_backends.h"

namespace velmora::platform {

std::string plasmaWallpaperScript(const std::string& uri) {
    // The URI is percent-encoded (fileUri), so it needs no escaping inside the quotes.
    return "var all = desktops();\n"
           "for (var i = 0; i < all.length; i++) {\n"
           "    var d = all[i];\n"
           "    d.wallpaperPlugin = \"org.kde.image\";\n"
           "    d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
           "    d.writeConfig(\"Image\", \"" + uri + "\");\n"
           "}\n";
}

bool setPlasmaWallpaper(const std::string& file, const DesktopServices& services) {
    if (services.programOnPath("plasma-apply-wallpaperimage") && services.run({"plasma-apply-wallpaperimage", file}))
        return true;
    if (!services.programOnPath("dbus-send")) return false;
    return services.run({"dbus-send", "--session", "--print-reply", "--reply-timeout=2500",
                         "--dest=org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell.evaluateScript",
                         "string:" + plasmaWallpaperScript(fileUri(file))});
}

}  // namespace velmora::platform
