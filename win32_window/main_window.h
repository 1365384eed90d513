#pragma once
// The main window in plain Win32: a view over CollectionBrowser. It lays out the
// labels, the name list (a list view with owner data), the picture box, the buttons
// and the popup menu from the command table, hands every command to the browser, and
// shows what the browser tells it through BrowserView. Sizes are the design's at 96
// DPI, scaled by the monitor's DPI.

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "browser/browser_view.h"
#include "browser/collection_browser.h"
#include "cli/wallpaper_cli_win32.h"
#include "platform/keyring.h"
#include "platform/platform.h"
#include "win32_window/picture_box.h"
#include "win32_window/wic_image_decoder.h"
#include "win32_window/win32_clipboard.h"

namespace velmora::win32 {

class ThumbnailWindow;
class ViewerWindow;

// Registers the classes, creates the main window (opening startFile, else
// pictures.vlm of the current folder) and runs the message loop until it closes.
int runMainWindow(HINSTANCE instance, int show, platform::Platform& platform,
                  const std::optional<std::string>& startFile);

class MainWindow : public BrowserView {
public:
    MainWindow(HINSTANCE instance, platform::Platform& platform);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and starts the browser on startFile.
    void create(int show, const std::optional<std::string>& startFile);
    HWND handle() const { return window_; }
    // Keys of the main window handled before the focused control sees them.
    bool translateKey(MSG& message);
    // The window's messages (window_procedure.h).
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    // BrowserView.
    void setTitle(const std::string& title) override;
    void setCurrentName(const std::string& name) override;
    void setCountText(const std::string& text) override;
    void setCommandStates(const CommandStates& states) override;
    void refreshNameList() override;
    void showPicture(const JpegPicture& picture, std::optional<std::string> decoderError) override;
    void clearPicture() override;
    DisplayTarget displayTarget() const override;
    void askText(const TextRequest& request) override;
    void askPassword(PasswordForm& form) override;
    std::vector<std::string> chooseFiles(FileDialogKind kind, FileDialogSettings& settings) override;
    bool confirm(const std::string& question) override;
    void showMessage(MessageKind kind, const std::string& text, const std::string& details) override;
    std::unique_ptr<Progress> startProgress(int total) override;
    void showTrash(const TrashRequest& request) override;
    void showThumbnails() override;
    // The thumbnail window, once it was opened.
    ThumbnailWindow* thumbnailWindow() const { return thumbnails_.get(); }
    void askWallpaperSettings(const WallpaperSettingsRequest& request) override;
    void showViewer(const ViewerContent& content) override;
    void showInViewer(const ViewerContent& content) override;
    void closeViewer() override;
    void hideMainWindow() override;
    void showAndRaiseMainWindow() override;
    void closeMainWindow() override;
    void post(std::function<void()> task) override;
    // A socket cannot be watched from this message loop: the core is asked every quarter
    // second instead, which gathers a burst of changes as a delay would.
    void watchChanges(int socket) override;

private:
    // Tasks handed in by post() are waiting.
    static constexpr UINT kRunPosted = WM_APP + 1;
    // The timer that asks the core for other clients' changes.
    static constexpr UINT_PTR kChangesTimer = 1;
    static constexpr UINT kChangesTimerMs = 250;

    void createControls();
    void layOut();
    void fitNameColumn();
    void buildPopupMenu();
    void updateFonts();
    void runCommandId(int id);
    // A wheel turn over the picture box; false when the pointer is elsewhere.
    bool turnWheel(const MSG& message);
    void showPopupMenu(POINT screen);
    LRESULT nameListNotify(NMHDR* header);
    void runPosted();
    // The window a message box belongs to: the dialog or viewer open now, else this one.
    HWND boxOwner() const;
    void dropFiles(HDROP drop);

    HINSTANCE instance_;
    platform::Platform& platform_;
    WindowsWallpaperSettings wallpaperSettings_{platform_};
    RegistrySettings languageSetting_ = languageSettingOf(platform_);
    std::unique_ptr<platform::Keyring> keyring_ = platform::systemKeyring();
    Win32Clipboard clipboard_;
    WicImageDecoder imageDecoder_;
    std::unique_ptr<CollectionBrowser> browser_;
    HWND window_ = nullptr;
    int dpi_ = 96;
    int wheelRest_ = 0;  // wheel movement short of a notch
    // The labels, the list, the picture box and the buttons by their ids.
    HWND nameCaption_ = nullptr, nameLabel_ = nullptr, countCaption_ = nullptr, countLabel_ = nullptr,
         popupHint_ = nullptr, nameList_ = nullptr;
    PictureBox pictureBox_;
    std::vector<HWND> buttons_;
    HWND tips_ = nullptr;  // the name list's and the picture's hints
    HMENU popupMenu_ = nullptr;
    HMENU filterMenu_ = nullptr;
    HFONT font_ = nullptr, redFont_ = nullptr;
    HBRUSH hintBrush_ = nullptr;
    CommandStates states_{};
    bool followingBrowser_ = false;  // the list's selection is being set to the current row
    ViewerWindow* viewer_ = nullptr;
    std::unique_ptr<ThumbnailWindow> thumbnails_;
    // Tasks handed in by post(), run on this thread on kRunPosted.
    std::mutex postedMutex_;
    std::deque<std::function<void()>> posted_;
    std::wstring listText_;  // the text handed to the list view for one row
};

}  // namespace velmora::win32
