#pragma once
// Wallpaper from the command line, without the window:
//   velmora --set-wallpaper NAME [FILE.vlm]   the first record named NAME
//   velmora --next-wallpaper [FILE.vlm]       the record after the current wallpaper
// FILE.vlm defaults to pictures.vlm of the current directory.

#include <optional>

namespace velmora {

// The exit status when the arguments ask for one of these (0 when the desktop took
// the wallpaper, 1 on any failure, 2 for wrong arguments), with what went wrong on
// standard error; nothing when they are not wallpaper options.
std::optional<int> runWallpaperCommandLine(int argc, char** argv);

}  // namespace velmora
