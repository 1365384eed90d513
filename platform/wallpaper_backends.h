#pragma once
// The ways a picture file becomes the wallpaper of a running Linux desktop, one per
// desktop family, and how the family is told from the session's environment. Every
// backend goes through DesktopServices, so each helper program is bounded in time.

#include <string>

#include "platform/desktop_services.h"

namespace velmora::platform {

enum class DesktopFamily { Unknown, Gnome, Cinnamon, Mate, Xfce, Plasma, Lxqt, Lxde, Sway, X11 };

// The family of the running session, from XDG_CURRENT_DESKTOP, XDG_SESSION_DESKTOP
// and DESKTOP_SESSION (first known name wins), then KDE_FULL_SESSION, SWAYSOCK, and a
// plain X11 session (DISPLAY without WAYLAND_DISPLAY).
DesktopFamily detectDesktopFamily(const DesktopServices& services);

// The family with the setting it writes, e.g. "Xfce (xfconf xfce4-desktop)".
std::string describeBackend(DesktopFamily family);

// Hands the file (an absolute path) to the family's backend; true when every write
// it tried succeeded. Unknown takes nothing.
bool applyWallpaper(DesktopFamily family, const std::string& file, const DesktopServices& services);

// GSettings through the gsettings client; a schema that is not installed is found
// by listing its keys first and is never written. GNOME and Cinnamon also get
// picture-options "zoom" when it is "none", so the picture shows at all.
bool setGnomeWallpaper(const std::string& file, const DesktopServices& services);
bool setCinnamonWallpaper(const std::string& file, const DesktopServices& services);
bool setMateWallpaper(const std::string& file, const DesktopServices& services);

// xfconf channel xfce4-desktop: every backdrop image property that exists, else the
// one of the current screen, monitor and workspace.
bool setXfceWallpaper(const std::string& file, const DesktopServices& services);
// The property that names the image of the current screen, monitor and workspace.
std::string currentXfceBackdropProperty(const DesktopServices& services);

// plasma-apply-wallpaperimage where installed, else the shell's scripting call.
bool setPlasmaWallpaper(const std::string& file, const DesktopServices& services);
// The Plasma shell script that shows the image at that file URI on every desktop.
std::string plasmaWallpaperScript(const std::string& uri);

bool setLxqtWallpaper(const std::string& file, const DesktopServices& services);
bool setLxdeWallpaper(const std::string& file, const DesktopServices& services);
bool setSwayWallpaper(const std::string& file, const DesktopServices& services);

}  // namespace velmora::platform
