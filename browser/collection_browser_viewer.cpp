// The full-size viewer and the wallpaper command of both windows.
#include "browser/collection_browser.h"
#include "wallpaper/set_to_desktop.h"

namespace velmora {

namespace {

// The windows the wallpaper command hides and shows, through the view.
class ViewWallpaperWindows : public WallpaperWindows {
public:
    ViewWallpaperWindows(BrowserView& view, bool viewer) : view_(view), viewer_(viewer) {}
    void showMessage(const std::string& text) override { view_.showMessage(MessageKind::Condition, text); }
    void hideMainWindow() override { view_.hideMainWindow(); }
    void hideAndCloseViewer() override {
        if (viewer_) view_.closeViewer();
    }
    void showAndRaiseMainWindow() override { view_.showAndRaiseMainWindow(); }

private:
    BrowserView& view_;
    bool viewer_;
};

}  // namespace

void CollectionBrowser::openViewer() {
    guard([this] {
        dataSource_.edit();
        if (currentPictureIsNull()) {
            view_.showMessage(MessageKind::Condition, texts().noPictureToView);
            return;
        }
        ViewerContent content;
        content.caption = texts().viewerCaption + fillIn(texts().viewerCaptionName, {currentName_});
        content.picture.readStored(query_.fieldByName("picture").asBytes());
        content.picture.bitmap();  // decoded here: a picture that does not decode ends the command
        content.hint = fillIn(texts().viewerHint,
                              {std::to_string(content.picture.width()), std::to_string(content.picture.height())});
        viewerPicture_ = content.picture;
        struct Closed {
            std::optional<JpegPicture>& picture;
            ~Closed() { picture.reset(); }
        } closed{viewerPicture_};
        view_.showViewer(content);
    });
}

void CollectionBrowser::runWallpaper(bool viewer) {
    WallpaperRequest request;
    request.variant = viewer ? WallpaperVariant::Viewer : WallpaperVariant::MainWindow;
    request.pictureIsNull = currentPictureIsNull();
    if (request.pictureIsNull) {
        view_.showMessage(MessageKind::Condition, viewer ? texts().noPictureSource : texts().noPictureForDesktop);
        return;
    }
    // The main window's is the current record's picture; the viewer's the one it shows.
    JpegPicture picture = viewer && viewerPicture_ ? *viewerPicture_ : currentPicture();
    request.displayedPicture = &picture;
    request.name = currentName_;
    ViewWallpaperWindows windows(view_, viewer);
    setToDesktop(request, *services_.platform, windows);
}

void CollectionBrowser::setAsWallpaper() {
    guard([this] { runWallpaper(false); });
}

void CollectionBrowser::setViewerAsWallpaper() {
    guard([this] { runWallpaper(true); });
}

}  // namespace velmora
