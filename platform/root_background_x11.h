#pragma once
// The background of the X root window, for sessions whose window manager draws no
// desktop of its own (i3, Openbox, awesome, bspwm, ...).

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/wallpaper_layout.h"
#include "platform/wallpaper_pixels.h"

namespace velmora::platform {

// Draws the picture in the fit mode (without one: scaled to cover) over the screen of
// $DISPLAY into a pixmap that the server keeps after this process ends, makes it the
// root window's background and names it in _XROOTPMAP_ID and ESETROOT_PMAP_ID, where
// compositors and transparent terminals look for it. The picture is `pixels`, asked
// for at the size the screen shows it, or else the BMP file. It is composed once in
// the server's pixel layout and sent in one transfer: through shared memory where the
// server has MIT-SHM and runs on this machine, else in requests of the size it takes.
// The pixmap such a call left before is freed. False when there is no display, the
// picture cannot be had, the screen's pixel format is not a true-colour one, or the
// server does not answer within timeout.
bool setRootBackground(const std::string& file, std::chrono::milliseconds timeout,
                       std::optional<FitMode> fit = std::nullopt, const WallpaperPixels& pixels = {});

// The same with a picture per area of the root window (the RandR monitors): files[i]
// drawn into areas[i] in the fit mode (fill when none), black between them.
bool setRootBackgroundAreas(const std::vector<std::string>& files, const std::vector<PixelRect>& areas,
                            std::chrono::milliseconds timeout, std::optional<FitMode> fit);

}  // namespace velmora::platform
