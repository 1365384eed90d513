#pragma once
// The ways a picture file becomes the wallpaper of a running Linux desktop, one per
// desktop family, and how the family is told from the session's environment. Every
// backend goes through DesktopServices, so each helper program is bounded in time.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop_services.h"
#include "platform/wallpaper_layout.h"

namespace velmora::platform {

enum class DesktopFamily { Unknown, Gnome, Cinnamon, Mate, Xfce, Plasma, Lxqt, Lxde, Sway, X11 };

// The family of the running session, from XDG_CURRENT_DESKTOP, XDG_SESSION_DESKTOP
// and DESKTOP_SESSION (first known name wins), then KDE_FULL_SESSION, SWAYSOCK, and a
// plain X11 session (DISPLAY without WAYLAND_DISPLAY).
DesktopFamily detectDesktopFamily(const DesktopServices& services);

// The family with the setting it writes, e.g. "Xfce (xfconf xfce4-desktop)".
std::string describeBackend(DesktopFamily family);

// Hands the file (an absolute path) to the family's backend in the layout's fit mode
// (none: the desktop's own); true when every write it tried succeeded. Unknown takes nothing.
// A backend that draws the picture itself takes it from `pixels` where they are given.
bool applyWallpaper(DesktopFamily family, const std::string& file, const DesktopServices& services,
                    const WallpaperLayout& layout = {}, const WallpaperPixels& pixels = {});

// Makes the file the lock screen's picture too, where the family's lock screen has one
// of its own; returns the line that says how it went.
std::string applyLockScreen(DesktopFamily family, const std::string& file, const DesktopServices& services,
                            const WallpaperLayout& layout);

// GSettings through the gsettings client; a schema that is not installed is found
// by listing its keys first and is never written. picture-options follows the fit
// mode; without one, GNOME and Cinnamon get "zoom" when it is "none", so the picture
// shows at all.
bool setGnomeWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit = {});
bool setCinnamonWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit = {});
bool setMateWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit = {});
// org.gnome.desktop.screensaver picture-uri (and picture-options with a fit mode).
bool setGnomeLockScreen(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit);
// GSettings' name of a fit mode: zoom, scaled, stretched, centered, wallpaper, spanned.
const char* gsettingsPictureOption(FitMode mode);

// xfconf channel xfce4-desktop: every backdrop image property that exists, else the
// one of the current screen, monitor and workspace; with a fit mode, image-style
// beside each.
bool setXfceWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit = {});
// Xfce's image-style: 5 zoomed, 4 scaled, 3 stretched, 1 centred, 2 tiled, 6 spanning.
int xfceImageStyle(FitMode mode);
// The property that names the image of the current screen, monitor and workspace.
std::string currentXfceBackdropProperty(const DesktopServices& services);

// plasma-apply-wallpaperimage where installed and no fit mode is chosen, else the
// shell's scripting call.
bool setPlasmaWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit = {});
// The Plasma shell script that shows the image at that file URI on every desktop,
// with FillMode when a mode is given.
std::string plasmaWallpaperScript(const std::string& uri, std::optional<int> fillMode = {});
// The script that shows uris[i] on the desktop of screen i (the first where there is no i-th).
std::string plasmaMonitorsScript(const std::vector<std::string>& uris, std::optional<int> fillMode);
// The script that prints each screen's number and geometry, "i x y width height" a line.
std::string plasmaScreensScript();
// files[i] (absolute paths) on the desktop of screen i, through the shell's scripting call.
bool setPlasmaMonitorWallpapers(const std::vector<std::string>& files, const DesktopServices& services,
                                std::optional<FitMode> fit);
// Plasma's FillMode: 2 crop, 1 fit, 0 stretch, 6 centred, 3 tiled (and crop to span).
int plasmaFillMode(FitMode mode);
// kscreenlockerrc's Greeter wallpaper through kwriteconfig6 or kwriteconfig5.
bool setPlasmaLockScreen(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit);

// pcmanfm-qt and pcmanfm, with --wallpaper-mode when a fit mode is chosen.
bool setLxqtWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit = {});
bool setLxdeWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit = {});
// output * bg FILE MODE: fill when no mode is chosen, and for span, which sway lacks.
bool setSwayWallpaper(const std::string& file, const DesktopServices& services, std::optional<FitMode> fit = {});
// The same for one output, by its name.
bool setSwayOutputWallpaper(const std::string& output, const std::string& file, const DesktopServices& services,
                            std::optional<FitMode> fit);
// Xfce's per-monitor properties: each backdrop image of a monitor named in
// monitorFiles (name, file) gets that file, made for the current workspace where the
// monitor has none; the others get `otherFile`.
bool setXfceMonitorWallpapers(const std::vector<std::pair<std::string, std::string>>& monitorFiles,
                              const std::string& otherFile, const DesktopServices& services, std::optional<FitMode> fit);

}  // namespace velmora::platform
