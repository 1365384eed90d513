#pragma once
// The wallpaper command's own messages. The command says them itself, to both windows and
// to the command line, so they live with it, below the browser's text table.

#include "base/language.h"

namespace velmora {

struct WallpaperTexts {
    const char* noPictureForDesktop;  // the main window's command and the command line
    const char* noPictureSource;      // the viewer's command
};

// The table in use: Chinese until useWallpaperTexts() says otherwise.
const WallpaperTexts& wallpaperTexts();
void useWallpaperTexts(Language language);

}  // namespace velmora
