#pragma once
// The monitors of the running desktop and where each lies on the virtual screen, for
// giving each its own picture, and the one picture that spans them all.

#include <string>
#include <vector>

#include "platform/desktop_services.h"
#include "platform/wallpaper_layout.h"
#include "platform/wallpaper_backends.h"

namespace velmora::platform {

// The monitors of `xrandr --listactivemonitors`, whose lines read
// " 0: +*HDMI-1 1920/510x1080/290+0+0  HDMI-1"; the primary one first.
std::vector<Monitor> parseRandrMonitors(const std::string& listing);

// The active outputs of `swaymsg -t get_outputs` (JSON), in its order.
std::vector<Monitor> parseSwayOutputs(const std::string& json);

// The screens the Plasma shell prints for plasmaScreensScript(), as dbus-send
// --print-reply shows its answer (string "0 0 0 1920 1080\n1 ..."): screen i first to last.
std::vector<Monitor> parsePlasmaScreens(const std::string& reply);

// The running desktop's monitors: sway's outputs, Plasma's screens (by its shell), else RandR's (the X11 desktops
// that take a picture per monitor or a spanned one); none when they cannot be told,
// or for a desktop that takes one picture.
std::vector<Monitor> findMonitors(DesktopFamily family, const DesktopServices& services);

// Gives each monitor its own picture: files[i] on monitors[i] (absolute paths), in
// the family's terms: sway's outputs, Xfce's per-monitor properties, Plasma's
// desktop of each screen, the X root window composed, and for GNOME, Cinnamon and MATE one picture composed into `spannedFile`
// and set spanned. True when every write it tried succeeded.
bool applyMonitorWallpapers(DesktopFamily family, const std::vector<Monitor>& monitors,
                            const std::vector<std::string>& files, const std::string& spannedFile,
                            const WallpaperLayout& layout, const DesktopServices& services);

}  // namespace velmora::platform
