#pragma once
// What the wallpaper command asks of the windows around it; the browser implements
// it through its view (browser/collection_browser_wallpaper.cpp), tests with a recording fake.

#include <string>

namespace velmora {

class WallpaperWindows {
public:
    virtual ~WallpaperWindows() = default;

    // The command's own message box: the application title as caption, no icon,
    // one OK button.
    virtual void showMessage(const std::string& text) = 0;
    virtual void hideMainWindow() = 0;
    // Viewer variant only: hide the viewer and end its modal display (cancel).
    virtual void hideAndCloseViewer() = 0;
    virtual void showAndRaiseMainWindow() = 0;
};

}  // namespace velmora
