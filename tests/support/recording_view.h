#pragma once
// A window for the browser's core that records what it is told (title, name, count,
// command states, picture, boxes) and answers what it is asked from scripts queued
// by the test: confirmations, name dialogs, file dialogs, progress and the viewer.
// A question nobody scripted counts as unexpected and is cancelled.

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "browser/browser_view.h"

namespace velmora::test {

enum class BoxKind { Condition, Error, NotAdded, Confirm };

struct SeenBox {
    BoxKind kind;
    std::string text;
    std::string details;
};

// A name dialog as it opened, and how the test answers one.
struct SeenDialog {
    NameDialogKind kind;
    std::string offered;
};
struct DialogAnswer {
    std::optional<std::string> text;  // typed over the offered text; nullopt: left as offered
    bool ok = true;                   // false: "取消"
};

class RecordingView : public BrowserView {
public:
    // What the window shows.
    std::string title;
    std::string name;
    std::string countText;
    CommandStates states;
    std::optional<JpegPicture> picture;  // nullopt: the picture area is empty
    std::optional<std::string> pictureError;
    int nameListRefreshes = 0;
    int watchedSocket = -1;  // what the core asked to be watched for other clients' changes
    DisplayTarget target{545, 401, {.stretch = false, .proportional = true, .center = true}, 1.0};

    // Scripts, used in order.
    std::deque<bool> confirmAnswers;
    std::deque<DialogAnswer> dialogAnswers;
    std::deque<std::vector<std::string>> fileAnswers;  // empty: cancelled
    int cancelProgressAt = -1;                          // the step at which "取消" is pressed
    std::function<void()> whileViewerOpen;              // runs once the viewer is shown
    // What the user does in the trash dialog while it is open (nothing: closed at once).
    std::function<void(const TrashRequest&)> inTrash;
    // What the user does in the wallpaper settings dialog (nothing: cancelled).
    std::function<void(const WallpaperSettingsRequest&)> inWallpaperSettings;

    // What was asked and shown, in order.
    std::vector<SeenBox> boxes;
    std::vector<SeenDialog> dialogs;
    std::vector<FileDialogSettings> fileDialogs;
    std::vector<std::string> progressLabels;
    std::vector<ViewerContent> viewers;
    int trashDialogs = 0;
    std::vector<WallpaperSettingsChoice> wallpaperSettingsShown;  // what each settings dialog opened with
    std::vector<std::string> windowSteps;  // hide, show, close of the windows
    int unexpected = 0;

    // The texts of the boxes seen, joined by " | ".
    std::string boxTexts() const;
    // Runs the tasks posted so far (and those they post), on this thread.
    void runPosted();

    void setTitle(const std::string& text) override { title = text; }
    void setCurrentName(const std::string& text) override { name = text; }
    void setCountText(const std::string& text) override { countText = text; }
    void setCommandStates(const CommandStates& now) override { states = now; }
    void refreshNameList() override { ++nameListRefreshes; }
    void showPicture(const JpegPicture& shown, std::optional<std::string> decoderError) override;
    void clearPicture() override;
    DisplayTarget displayTarget() const override { return target; }
    void askText(const TextRequest& request) override;
    std::vector<std::string> chooseFiles(FileDialogKind kind, FileDialogSettings& settings) override;
    bool confirm(const std::string& question) override;
    void showMessage(MessageKind kind, const std::string& text, const std::string& details) override;
    std::unique_ptr<Progress> startProgress(int total) override;
    void showTrash(const TrashRequest& request) override {
        ++trashDialogs;
        if (inTrash) inTrash(request);
    }
    void askWallpaperSettings(const WallpaperSettingsRequest& request) override {
        wallpaperSettingsShown.push_back(request.current);
        if (inWallpaperSettings) inWallpaperSettings(request);
    }
    void showViewer(const ViewerContent& content) override;
    void showInViewer(const ViewerContent& content) override { viewers.push_back(content); }
    void closeViewer() override;
    void hideMainWindow() override { windowSteps.push_back("hide main window"); }
    void showAndRaiseMainWindow() override { windowSteps.push_back("show main window"); }
    void closeMainWindow() override { windowSteps.push_back("close main window"); }
    void post(std::function<void()> task) override;
    void watchChanges(int socket) override { watchedSocket = socket; }

private:
    bool viewerOpen_ = false;
    std::mutex postedMutex_;
    std::vector<std::function<void()>> posted_;
};

}  // namespace velmora::test
