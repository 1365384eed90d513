#pragma once
// The main window: a view over CollectionBrowser. It lays out the name list, the
// picture area, the buttons and the popup menu (from the command table), hands every
// command to the browser, and shows what the browser tells it through BrowserView.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSocketNotifier>
#include <QWidget>

#include "browser/browser_view.h"
#include "browser/collection_browser.h"
#include "qt_window/name_grid.h"
#include "qt_window/picture_image.h"
#include "qt_window/qt_image_decoder.h"

namespace velmora {

class ThumbnailWindow;
class ViewerWindow;

class MainWindow : public QWidget, public BrowserView {
    Q_OBJECT

public:
    // Window creation opens startFile when one is given (the command line's file), else
    // pictures.vlm of the current directory. services.imageDecoder, when not given,
    // is Qt's.
    explicit MainWindow(BrowserServices services, std::optional<std::string> startFile = std::nullopt,
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    CollectionBrowser& browser() { return *browser_; }
    // The button or menu item of the command table named name (null when none).
    QPushButton* button(const char* name) const;
    QAction* action(const char* name) const;

    QLabel* nameLabel;
    QLabel* countLabel;
    NameGrid* nameList;
    QScrollArea* pictureArea;
    PictureImage* pictureView;
    QMenu* popupMenu;
    QMenu* filterMenu;
    // The viewer while it is shown.
    ViewerWindow* viewer() const { return viewer_; }
    // The thumbnail window, once it was opened.
    ThumbnailWindow* thumbnailWindow() const { return thumbnails_; }

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
    void askWallpaperSettings(const WallpaperSettingsRequest& request) override;
    void showViewer(const ViewerContent& content) override;
    void showInViewer(const ViewerContent& content) override;
    void closeViewer() override;
    void hideMainWindow() override;
    void showAndRaiseMainWindow() override;
    void closeMainWindow() override;
    void post(std::function<void()> task) override;
    void postAfter(int ms, std::function<void()> task) override;
    void watchChanges(int socket) override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // The picture area's keys and its wheel.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLabels();
    void buildPictureArea();
    void buildCommands();

    QtImageDecoder imageDecoder_;
    std::unique_ptr<CollectionBrowser> browser_;
    // Each control of the command table with its button or menu item.
    struct Control {
        const CommandControl* row;
        QPushButton* button;
        QAction* action;
    };
    std::vector<Control> controls_;
    ViewerWindow* viewer_ = nullptr;
    ThumbnailWindow* thumbnails_ = nullptr;
    int wheelRest_ = 0;  // wheel movement short of a notch
    // Readable when other clients of a server collection changed it (null: none to watch).
    QSocketNotifier* changeNotifier_ = nullptr;
};

}  // namespace velmora
