#include "platform/wallpaper_backends.h"

#include <utility>

#include "platform/ascii_case.h"
#include "platform/foreign_syntax.h"

namespace velmora::platform {
namespace {

// Names the session variables use, folded to lower case.
const std::pair<const char*, DesktopFamily> kDesktopNames[] = {
    {"gnome", DesktopFamily::Gnome},          {"gnome-classic", DesktopFamily::Gnome},
    {"gnome-flashback", DesktopFamily::Gnome}, {"gnome-xorg", DesktopFamily::Gnome},
    {"ubuntu", DesktopFamily::Gnome},         {"ubuntu-xorg", DesktopFamily::Gnome},
    {"ubuntu-wayland", DesktopFamily::Gnome}, {"budgie", DesktopFamily::Gnome},
    {"budgie-desktop", DesktopFamily::Gnome}, {"unity", DesktopFamily::Gnome},
    {"pantheon", DesktopFamily::Gnome},       {"x-cinnamon", DesktopFamily::Cinnamon},
    {"cinnamon", DesktopFamily::Cinnamon},    {"cinnamon2d", DesktopFamily::Cinnamon},
    {"mate", DesktopFamily::Mate},            {"xfce", DesktopFamily::Xfce},
    {"xfce4", DesktopFamily::Xfce},           {"xubuntu", DesktopFamily::Xfce},
    {"kde", DesktopFamily::Plasma},           {"plasma", DesktopFamily::Plasma},
    {"plasmawayland", DesktopFamily::Plasma}, {"plasmax11", DesktopFamily::Plasma},
    {"lxqt", DesktopFamily::Lxqt},            {"lxde", DesktopFamily::Lxde},
    {"lxde-pi", DesktopFamily::Lxde},         {"sway", DesktopFamily::Sway},
};

DesktopFamily familyOfName(const std::string& name) {
    // DESKTOP_SESSION may be the path of a session file.
    std::string folded = foldAsciiCase(name.substr(name.rfind('/') + 1));
    if (folded.size() > 8 && folded.ends_with(".desktop")) folded.resize(folded.size() - 8);
    for (const auto& [known, family] : kDesktopNames)
        if (folded == known) return family;
    return DesktopFamily::Unknown;
}

// The first known name of a colon-separated list such as "ubuntu:GNOME".
DesktopFamily familyOfList(const std::string& list) {
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = std::min(list.find(':', start), list.size());
        DesktopFamily family = familyOfName(list.substr(start, end - start));
        if (family != DesktopFamily::Unknown) return family;
        start = end + 1;
    }
    return DesktopFamily::Unknown;
}

}  // namespace

DesktopFamily detectDesktopFamily(const DesktopServices& services) {
    for (const char* variable : {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION"}) {
        DesktopFamily family = familyOfList(services.environment(variable));
        if (family != DesktopFamily::Unknown) return family;
    }
    if (foldAsciiCase(services.environment("KDE_FULL_SESSION")) == "true") return DesktopFamily::Plasma;
    if (!services.environment("SWAYSOCK").empty()) return DesktopFamily::Sway;
    // Under an unknown Wayland compositor the X root window (of Xwayland) is not seen.
    if (services.environment("WAYLAND_DISPLAY").empty() && !services.environment("DISPLAY").empty())
        return DesktopFamily::X11;
    return DesktopFamily::Unknown;
}

std::string describeBackend(DesktopFamily family) {
    switch (family) {
    case DesktopFamily::Gnome: return "GNOME (gsettings org.gnome.desktop.background)";
    case DesktopFamily::Cinnamon: return "Cinnamon (gsettings org.cinnamon.desktop.background)";
    case DesktopFamily::Mate: return "MATE (gsettings org.mate.background)";
    case DesktopFamily::Xfce: return "Xfce (xfconf xfce4-desktop)";
    case DesktopFamily::Plasma: return "KDE Plasma (plasmashell)";
    case DesktopFamily::Lxqt: return "LXQt (pcmanfm-qt)";
    case DesktopFamily::Lxde: return "LXDE (pcmanfm)";
    case DesktopFamily::Sway: return "sway (swaymsg)";
    case DesktopFamily::X11: return "X11 root window";
    case DesktopFamily::Unknown: break;
    }
    return "no known desktop";
}

bool applyWallpaper(DesktopFamily family, const std::string& file, const DesktopServices& services,
                    const WallpaperLayout& layout, const WallpaperPixels& pixels) {
    // A path the desktop's own syntax cannot take is refused before any setting is written.
    if (std::optional<ForeignSyntax> syntax = desktopSyntax(family);
        syntax && foreignSyntaxPlace(*syntax).handover == Handover::Checked) {
        if (std::string problem = foreignTextProblem(*syntax, "the wallpaper's path", file); !problem.empty()) {
            if (services.report) services.report("velmora: " + problem);
            return false;
        }
    }
    const std::optional<FitMode> fit = layout.fit;
    switch (family) {
    case DesktopFamily::Gnome: return setGnomeWallpaper(file, services, fit);
    case DesktopFamily::Cinnamon: return setCinnamonWallpaper(file, services, fit);
    case DesktopFamily::Mate: return setMateWallpaper(file, services, fit);
    case DesktopFamily::Xfce: return setXfceWallpaper(file, services, fit);
    case DesktopFamily::Plasma: return setPlasmaWallpaper(file, services, fit);
    case DesktopFamily::Lxqt: return setLxqtWallpaper(file, services, fit);
    case DesktopFamily::Lxde: return setLxdeWallpaper(file, services, fit);
    case DesktopFamily::Sway: return setSwayWallpaper(file, services, fit);
    case DesktopFamily::X11: return services.setRootBackground && services.setRootBackground(file, fit, pixels);
    case DesktopFamily::Unknown: break;
    }
    return false;
}

std::string applyLockScreen(DesktopFamily family, const std::string& file, const DesktopServices& services,
                            const WallpaperLayout& layout) {
    const std::string name = describeBackend(family);
    switch (family) {
    case DesktopFamily::Gnome:
        return setGnomeLockScreen(file, services, layout.fit)
                   ? "velmora: lock screen set through org.gnome.desktop.screensaver: " + file
                   : "velmora: lock screen not set: org.gnome.desktop.screensaver did not take " + file;
    case DesktopFamily::Plasma:
        return setPlasmaLockScreen(file, services, layout.fit)
                   ? "velmora: lock screen set through kscreenlockerrc: " + file
                   : "velmora: lock screen not set: neither kwriteconfig6 nor kwriteconfig5 wrote kscreenlockerrc";
    // Their screen lockers draw the desktop's own background: it is the same picture already.
    case DesktopFamily::Cinnamon:
    case DesktopFamily::Mate:
    case DesktopFamily::Xfce:
        return "velmora: the lock screen of " + name + " shows the desktop wallpaper itself";
    default: break;
    }
    return "velmora: the lock screen of this desktop (" + name + ") cannot be set";
}

}  // namespace velmora::platform
