// What the browser asks of the main window.
#include <windows.h>
#include <commctrl.h>

#include "base/utf16.h"
#include "win32_window/control_ids.h"
#include "win32_window/file_dialogs.h"
#include "win32_window/main_window.h"
#include "win32_window/shortcuts.h"
#include "win32_window/message_boxes.h"
#include "win32_window/modal_windows.h"
#include "win32_window/name_dialog.h"
#include "win32_window/password_dialog.h"
#include "win32_window/progress_window.h"
#include "win32_window/thumbnail_window.h"
#include "win32_window/trash_dialog.h"
#include "win32_window/viewer_window.h"
#include "win32_window/wallpaper_settings_dialog.h"

namespace velmora::win32 {

namespace {

void setText(HWND control, const std::string& text) { SetWindowTextW(control, toUtf16(text).c_str()); }

}  // namespace

void MainWindow::setTitle(const std::string& title) { setText(window_, title); }

void MainWindow::setCurrentName(const std::string& name) { setText(nameLabel_, name); }

void MainWindow::setCountText(const std::string& text) { setText(countLabel_, text); }

void MainWindow::setCommandStates(const CommandStates& states) {
    states_ = states;
    const auto controls = mainWindowControls();
    std::size_t button = 0;
    for (std::size_t row = 0; row < controls.size(); ++row) {
        const CommandControl& control = controls[row];
        const bool enabled = states.enabled(control.group);
        const UINT id = static_cast<UINT>(kFirstCommandId + static_cast<int>(row));
        if (control.kind == ControlKind::Button) {
            EnableWindow(buttons_[button++], enabled);
        } else if (control.kind == ControlKind::ChoiceItem) {
            CheckMenuItem(popupMenu_, id, MF_BYCOMMAND | (states.checked(control) ? MF_CHECKED : MF_UNCHECKED));
        } else if (control.kind == ControlKind::MenuItem) {
            EnableMenuItem(popupMenu_, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
            // The undo item names what it undoes.
            if (control.group == CommandGroup::Undo) {
                ModifyMenuW(popupMenu_, id, MF_BYCOMMAND | MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id,
                            withShortcut(states.caption(control), control.shortcut).c_str());
            }
        }
    }
}

void MainWindow::refreshNameList() {
    if (!nameList_ || !browser_) return;  // also while the browser closes its query on the way out
    followingBrowser_ = true;
    const int rows = browser_->rowCount();
    // A changed row count starts from the top, as a fresh list would.
    if (ListView_GetItemCount(nameList_) != rows) {
        ListView_SetItemCountEx(nameList_, rows, 0);
        fitNameColumn();  // the scroll bar may have come or gone
    }
    const int row = browser_->currentRow();
    const int selected = ListView_GetNextItem(nameList_, -1, LVNI_SELECTED);
    if (selected != row && selected >= 0) ListView_SetItemState(nameList_, selected, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0 && row < rows) {
        ListView_SetItemState(nameList_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(nameList_, row, FALSE);
    }
    InvalidateRect(nameList_, nullptr, FALSE);
    followingBrowser_ = false;
}

void MainWindow::showPicture(const JpegPicture& picture, std::optional<std::string> decoderError) {
    pictureBox_.setPicture(picture, std::move(decoderError));
}

void MainWindow::clearPicture() { pictureBox_.clear(); }

DisplayTarget MainWindow::displayTarget() const { return pictureBox_.displayTarget(); }

void MainWindow::showThumbnails() {
    if (!thumbnails_) thumbnails_ = std::make_unique<ThumbnailWindow>(instance_, browser_->thumbnails(), window_);
    thumbnails_->show();
}

void MainWindow::askText(const TextRequest& request) { runNameDialog(window_, request); }

void MainWindow::askPassword(PasswordForm& form) { runPasswordDialog(window_, form); }

std::vector<std::string> MainWindow::chooseFiles(FileDialogKind kind, FileDialogSettings& settings) {
    return win32::chooseFiles(window_, kind, settings);
}

HWND MainWindow::boxOwner() const {
    // The dialog or viewer the command runs in, else this window.
    return newestModal(window_);
}

bool MainWindow::confirm(const std::string& question) { return confirmBox(boxOwner(), question); }

void MainWindow::showMessage(MessageKind kind, const std::string& text, const std::string& details) {
    messageBox(boxOwner(), kind, text, details);
}

std::unique_ptr<Progress> MainWindow::startProgress(int total) { return startProgressWindow(boxOwner(), total); }

void MainWindow::showTrash(const TrashRequest& request) { runTrashDialog(window_, request); }

void MainWindow::askWallpaperSettings(const WallpaperSettingsRequest& request) {
    runWallpaperSettingsDialog(window_, request);
}

void MainWindow::showViewer(const ViewerContent& content) {
    ViewerWindow viewer(window_, *browser_);
    viewer_ = &viewer;
    viewer.show(content);
    viewer_ = nullptr;
}

void MainWindow::showInViewer(const ViewerContent& content) {
    if (viewer_) viewer_->showContent(content);
}

void MainWindow::closeViewer() {
    if (viewer_) viewer_->close();
}

void MainWindow::hideMainWindow() { ShowWindow(window_, SW_HIDE); }

void MainWindow::showAndRaiseMainWindow() {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void MainWindow::closeMainWindow() { PostMessageW(window_, WM_CLOSE, 0, 0); }

void MainWindow::post(std::function<void()> task) {
    {
        std::lock_guard lock(postedMutex_);
        posted_.push_back(std::move(task));
    }
    PostMessageW(window_, kRunPosted, 0, 0);
}

void MainWindow::watchChanges(int socket) {
    if (socket < 0) {
        KillTimer(window_, kChangesTimer);
    } else {
        SetTimer(window_, kChangesTimer, kChangesTimerMs, nullptr);
    }
}

}  // namespace velmora::win32
