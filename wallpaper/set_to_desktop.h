#pragma once
// The wallpaper command (SetToDesktopClick of the main window and of the viewer):
// writes the displayed picture as a BMP file into the wallpaper folder, remembers
// its name in the registry so the next run can delete the file, makes it the
// desktop wallpaper and lets the user look at the desktop for a second.

#include <string>

#include "platform/platform.h"
#include "store/picture/jpeg_picture.h"
#include "wallpaper/wallpaper_windows.h"

namespace velmora {

enum class WallpaperVariant { MainWindow, Viewer };

struct WallpaperRequest {
    WallpaperVariant variant = WallpaperVariant::MainWindow;
    // The current record's `picture` is null, or there is no current record.
    bool pictureIsNull = true;
    // The picture the window's picture view displays; only its JPEG data is used.
    JpegPicture* displayedPicture = nullptr;
    // The main window's name label: the current record's filename as displayed.
    std::string name;
};

// Runs the command. A missing picture is shown through windows.showMessage() and
// changes nothing; every other failure is raised as velmora::Error (JpegError for
// a picture that does not decode) at the step it happens, with registry keys
// closed and temporary pictures released. A name that would place the file
// outside the wallpaper folder fails with the file-creation error before anything
// is changed. The steps from the registry to the desktop run under platform.wallpaperLock
// (when given): waiting longer than its bound raises Error before anything is changed.
void setToDesktop(const WallpaperRequest& request, const platform::Platform& platform,
                  WallpaperWindows& windows);

}  // namespace velmora
