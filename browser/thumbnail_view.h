#pragma once
// What the thumbnail form asks of the window that shows it. Messages and confirmations
// go through the main window's BrowserView, as every command's do.

#include <optional>
#include <string>

namespace velmora {

class ThumbnailView {
public:
    virtual ~ThumbnailView() = default;
    // The rows, the selection or the size changed: everything shown is read again.
    virtual void refreshThumbnails() = 0;
    // Pictures of some rows arrived: the visible ones are drawn again.
    virtual void thumbnailsArrived() = 0;
    // Scrolls so that row is on screen.
    virtual void revealRow(int row) = 0;
    // The folder dialog of the export; nullopt when cancelled.
    virtual std::optional<std::string> chooseFolder(const std::string& caption) = 0;
};

}  // namespace velmora
