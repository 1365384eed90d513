// The wallpaper command of both windows, laid out by the saved settings, and the
// settings dialog that changes them as the command line's options do.
#include "browser/collection_browser.h"
#include "wallpaper/rotation_rows.h"
#include "wallpaper/set_to_desktop.h"
#include "wallpaper/wallpaper_texts.h"

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

void CollectionBrowser::runWallpaper(bool viewer) {
    WallpaperRequest request;
    request.variant = viewer ? WallpaperVariant::Viewer : WallpaperVariant::MainWindow;
    request.pictureIsNull = currentPictureIsNull();
    if (request.pictureIsNull) {
        view_.showMessage(MessageKind::Condition,
                          viewer ? wallpaperTexts().noPictureSource : wallpaperTexts().noPictureForDesktop);
        return;
    }
    // The main window's is the current record's picture; the viewer's the one it shows.
    JpegPicture picture = viewer && viewerPicture_ ? *viewerPicture_ : currentPicture();
    request.displayedPicture = &picture;
    request.name = currentName_;
    // Laid out as the saved settings say, the same way --set-wallpaper does; with none
    // saved the layout is empty and each desktop keeps its own.
    if (wallpaperSettings_.kept()) {
        const WallpaperSettings settings = wallpaperSettings_.saved();
        RotationRows rows(query_, connection_.database());
        services_.platform->desktop.setWallpaperLayout(
            wallpaperLayoutFor(settings, rows, static_cast<std::size_t>(query_.currentRow()), *services_.platform));
    }
    ViewWallpaperWindows windows(view_, viewer);
    setToDesktop(request, *services_.platform, windows);
}

void CollectionBrowser::setAsWallpaper() {
    guard([this] { runWallpaper(false); });
}

void CollectionBrowser::setViewerAsWallpaper() {
    guard([this] { runWallpaper(true); });
}

void CollectionBrowser::openWallpaperSettings() {
    guard([this] {
        // A settings store that cannot be read is reported here, and no dialog offers to overwrite it.
        const WallpaperSettings before = wallpaperSettings_.saved();
        WallpaperSettingsChoice offered = WallpaperSettingsEditor::offer(before);
        if (query_.active() && !currentPictureIsNull())
            offered.leftOut = RotationRows(query_, connection_.database()).leftOut(static_cast<std::size_t>(currentRow()));
        view_.askWallpaperSettings({offered, [this, before, offered](const WallpaperSettingsChoice& choice) {
                                        return saveWallpaperChoice(before, offered, choice);
                                    }});
    });
}

bool CollectionBrowser::saveWallpaperChoice(const WallpaperSettings& before, const WallpaperSettingsChoice& offered,
                                            const WallpaperSettingsChoice& choice) {
    const std::optional<WallpaperSettings> after = WallpaperSettingsEditor::apply(before, choice);
    if (!after) {
        view_.showMessage(MessageKind::Condition, fillIn(texts().badInterval, {choice.interval}));
        return false;
    }
    std::string problem;
    const bool saved = guard([&] {
        problem = wallpaperSettings_.save(before, *after, connection_.dataSourcePath());
        // The mark, like --leave-out and --put-back, is kept in the collection file.
        if (choice.leftOut && offered.leftOut && *choice.leftOut != *offered.leftOut)
            RotationRows(query_, connection_.database()).setLeftOut(static_cast<std::size_t>(currentRow()), *choice.leftOut);
    });
    // What the timer could not do is said; everything else is saved, and the dialog closes.
    if (!problem.empty()) reportError(fillIn(texts().rotationNotChanged, {problem}));
    return saved;
}

}  // namespace velmora
