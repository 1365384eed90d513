#pragma once
// What CollectionBrowser asks of a window: it shows and asks, and asks the core for
// every command through BrowserCore (browser_core.h). A view never touches the store;
// the core calls it back only through this interface, on the user-interface thread
// (post() excepted).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/commands.h"
#include "browser/display_target.h"
#include "browser/file_dialogs.h"
#include "browser/name_dialogs.h"
#include "browser/password_form.h"
#include "store/database/picture_trash.h"
#include "store/picture/jpeg_picture.h"
#include "wallpaper/wallpaper_settings.h"

namespace velmora {

enum class FileDialogKind { Open, OpenMany, Save };

enum class MessageKind {
    Condition,  // a command's own condition: application title, no icon, one "OK"
    Error,      // the default error handler: application title, stop icon, one "OK"
    NotAdded,   // the summary of a several-file add: warning icon, one "OK"
};

// A name dialog's request. accept runs when "确定" is pressed, with the text as typed;
// the dialog closes when it returns true and stays open otherwise.
struct TextRequest {
    NameDialogKind dialog;
    std::string text;  // what the edit box holds when the dialog opens
    std::function<bool(const std::string& text)> accept;
    // Texts the edit box offers in a drop-down list, newest first (the addresses used last).
    std::vector<std::string> offered{};
};

// The progress of a long command. advance() shows step `done` of the total with
// label; false when the user has cancelled.
class Progress {
public:
    virtual ~Progress() = default;
    virtual bool advance(int done, const std::string& label) = 0;
};

// What the viewer window shows: its caption and hint, and the picture at its own size.
struct ViewerContent {
    std::string caption;
    std::string hint;
    JpegPicture picture;
};

// The trash dialog's content and what its buttons do. Each action runs a command of
// the core (errors reported there) and returns true when it changed the trash, so
// the dialog lists it again.
struct TrashContent {
    std::vector<TrashedPicture> pictures;  // newest first
    std::string space;                     // what the trash holds, as the dialog says it
};
struct TrashRequest {
    std::function<TrashContent()> read;
    std::function<bool(std::int64_t id)> restore;        // the picture becomes current
    std::function<bool(std::int64_t id)> deleteForever;  // asks first
    std::function<bool()> empty;                         // asks first
};

// The wallpaper settings dialog's content, as the user sees and edits it.
struct WallpaperSettingsChoice {
    std::optional<platform::FitMode> fit;  // none: the desktop's own
    bool perMonitor = false;
    bool rotate = false;
    std::string interval;  // as typed ("30m", "2h"); offered even while rotation is off
    RotationOrder order = RotationOrder::InTurn;
    bool paused = false;  // only while rotating
    bool lockScreen = false;
    // The current picture left out of rotation; none without a current picture.
    std::optional<bool> leftOut{};
    bool operator==(const WallpaperSettingsChoice&) const = default;
};

// The settings dialog's request: what is saved now, and accept for "确定", which checks
// and saves the choice (telling the user what is wrong) and returns true when the
// dialog may close.
struct WallpaperSettingsRequest {
    WallpaperSettingsChoice current;
    std::function<bool(const WallpaperSettingsChoice& choice)> accept;
};

class BrowserView {
public:
    virtual ~BrowserView() = default;

    virtual void setTitle(const std::string& title) = 0;
    // The current record's name as the name label shows it.
    virtual void setCurrentName(const std::string& name) = 0;
    virtual void setCountText(const std::string& text) = 0;
    virtual void setCommandStates(const CommandStates& states) = 0;
    // The rows or the current row changed: the list reads them again from the core.
    virtual void refreshNameList() = 0;

    // Shows picture in the picture area (the view keeps a copy sharing its bytes);
    // decoderError: found while it was decoded ahead, to be reported after its paint
    // through CollectionBrowser::reportError().
    virtual void showPicture(const JpegPicture& picture, std::optional<std::string> decoderError) = 0;
    virtual void clearPicture() = 0;
    // Where the picture area draws now: size, fit and pixel ratio.
    virtual DisplayTarget displayTarget() const = 0;

    // Shows the name dialog modally until accept() takes a text or the user cancels.
    virtual void askText(const TextRequest& request) = 0;
    // Shows the password dialog bound to form modally until form.submit() returns true
    // or the user cancels. Without one, nothing is asked: as if cancelled.
    virtual void askPassword(PasswordForm& form) { (void)form; }
    // Shows a file dialog; the chosen full paths (one unless OpenMany), empty when
    // cancelled. Updates settings.filterIndex to the type selected and, as the system
    // dialogs do, moves the current directory to the chosen file's folder.
    virtual std::vector<std::string> chooseFiles(FileDialogKind kind, FileDialogSettings& settings) = 0;
    // "Confirm", question icon, "OK" (default) and "Cancel"; true only for "OK".
    virtual bool confirm(const std::string& question) = 0;
    // details: the long form, shown on request (may be empty).
    virtual void showMessage(MessageKind kind, const std::string& text, const std::string& details = {}) = 0;
    // A cancellable progress of total steps, shown until the returned object goes.
    virtual std::unique_ptr<Progress> startProgress(int total) = 0;

    // Shows the trash dialog modally until it is closed.
    virtual void showTrash(const TrashRequest& request) = 0;

    // Shows the wallpaper settings dialog modally until accept() takes a choice or the
    // user cancels.
    virtual void askWallpaperSettings(const WallpaperSettingsRequest& request) = 0;

    // Shows the thumbnail window (not modal), bound to CollectionBrowser::thumbnails(), or
    // raises it when it is open.
    virtual void showThumbnails() {}

    // Shows the viewer modally; it closes on a click or through closeViewer().
    virtual void showViewer(const ViewerContent& content) = 0;
    // Shows another picture in the open viewer, fitted to it as showViewer() fits one.
    virtual void showInViewer(const ViewerContent& content) = 0;
    // Hides the open viewer and ends its modal display once the command returns.
    virtual void closeViewer() = 0;
    virtual void hideMainWindow() = 0;
    virtual void showAndRaiseMainWindow() = 0;
    // Closes the main window, which ends the program.
    virtual void closeMainWindow() = 0;

    // Runs task on the user-interface thread after the events queued now. Callable
    // from any thread.
    virtual void post(std::function<void()> task) = 0;
    // Runs task on the user-interface thread about ms milliseconds from now; a view
    // without timers runs it as post() does.
    virtual void postAfter(int ms, std::function<void()> task) {
        (void)ms;
        post(std::move(task));
    }

    // Calls BrowserCore::changesMayHaveArrived() whenever socket is readable (or, where
    // sockets cannot be watched, every quarter second while one is given), in place of
    // the socket watched before; -1: none, watch nothing.
    virtual void watchChanges(int socket) { (void)socket; }
};

}  // namespace velmora
