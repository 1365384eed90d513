// The wallpaper command of both windows, laid out by the saved settings, and the
// settings dialog that changes them as the command line's options do.
#include "base/error.h"
#include "browser/collection_browser.h"
#include "wallpaper/rotation_rows.h"
#include "wallpaper/set_to_desktop.h"
#include "wallpaper/wallpaper_settings_change.h"

namespace velmora {

namespace {

// The interval the dialog offers while rotation is off.
constexpr int kOfferedMinutes = 30;

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

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

WallpaperSettingsChoice choiceOf(const WallpaperSettings& settings) {
    return {.fit = settings.fit,
            .perMonitor = settings.perMonitor,
            .rotate = settings.rotateMinutes.has_value(),
            .interval = durationText(settings.rotateMinutes.value_or(kOfferedMinutes)),
            .order = settings.order,
            .paused = settings.rotationPaused,
            .lockScreen = settings.lockScreen};
}

}  // namespace

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
    // Laid out as the saved settings say, the same way --set-wallpaper does; with none
    // saved the layout is empty and each desktop keeps its own.
    if (services_.wallpaperSettings) {
        const WallpaperSettings settings = loadWallpaperSettings(services_.wallpaperSettings->store);
        RotationRows rows(query_, connection_.handle());
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
        if (!services_.wallpaperSettings) throw Error("This window keeps no wallpaper settings");
        // A settings store that cannot be read is reported here, and no dialog offers to overwrite it.
        const WallpaperSettings before = loadWallpaperSettings(services_.wallpaperSettings->store);
        WallpaperSettingsChoice offered = choiceOf(before);
        if (query_.active() && !currentPictureIsNull())
            offered.leftOut = RotationRows(query_, connection_.handle()).leftOut(static_cast<std::size_t>(currentRow()));
        view_.askWallpaperSettings({offered, [this, before, offered](const WallpaperSettingsChoice& choice) {
                                        return saveWallpaperChoice(before, offered, choice);
                                    }});
    });
}

bool CollectionBrowser::saveWallpaperChoice(const WallpaperSettings& before, const WallpaperSettingsChoice& offered,
                                            const WallpaperSettingsChoice& choice) {
    WallpaperSettings after = before;
    after.fit = choice.fit;
    after.perMonitor = choice.perMonitor;
    after.order = choice.order;
    after.lockScreen = choice.lockScreen;
    after.rotateMinutes.reset();
    if (choice.rotate) {
        after.rotateMinutes = parseDuration(trimmed(choice.interval));
        if (!after.rotateMinutes) {
            view_.showMessage(MessageKind::Condition, fillIn(texts().badInterval, {choice.interval}));
            return false;
        }
    }
    after.rotationPaused = after.rotateMinutes && choice.paused;
    // The timer's steps are those of --rotate-every, --pause-rotation and --resume-rotation.
    std::string problem;
    const bool saved = guard([&] {
        problem = changeWallpaperSettings(*services_.wallpaperSettings, before, after, timerStepsBetween(before, after),
                                          connection_.dataSourcePath());
        // The mark, like --leave-out and --put-back, is kept in the collection file.
        if (choice.leftOut && offered.leftOut && *choice.leftOut != *offered.leftOut)
            RotationRows(query_, connection_.handle()).setLeftOut(static_cast<std::size_t>(currentRow()), *choice.leftOut);
    });
    // What the timer could not do is said; everything else is saved, and the dialog closes.
    if (!problem.empty()) reportError(fillIn(texts().rotationNotChanged, {problem}));
    return saved;
}

}  // namespace velmora
