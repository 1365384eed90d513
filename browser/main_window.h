#pragma once
// The main window: the name list, the picture area, the buttons and the
// popup menu; it owns the store objects, the picture count and the name entry result,
// and applies the rules that decide which commands are available.

#include <optional>
#include <string>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>

#include <memory>
#include <optional>

#include "browser/browser_services.h"
#include "browser/file_dialogs.h"
#include "browser/name_grid.h"
#include "browser/neighbour_preloader.h"
#include "browser/picture_image.h"
#include "browser/qt_image_decoder.h"
#include "store/database/connection.h"
#include "store/database/data_source.h"
#include "store/database/picture_query.h"

namespace velmora {

// The maker's web site, handed to the desktop's URL handler.
inline constexpr const char* kWebSiteAddress = "https://velmora.example/";

struct NameEntryResult {
    bool accepted = false;
    std::string name;
};

class MainWindow : public QWidget {
    Q_OBJECT

public:
    // Window creation opens startFile when one is given (the command line's file), else
    // pictures.vlm of the current directory.
    explicit MainWindow(BrowserServices services, std::optional<std::string> startFile = std::nullopt,
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    // Store objects, owned for the whole run.
    Connection connection;
    PictureQuery pictures{connection, "ADOQuery1"};
    DataSource dataSource{pictures};

    // Program-wide state.
    int pictureCount = 0;
    NameEntryResult nameEntry;

    // Controls.
    QPushButton* previousButton;
    QPushButton* nextButton;
    QPushButton* deleteButton;
    QPushButton* wallpaperButton;
    QPushButton* quitButton;
    QPushButton* webSiteButton;
    QLabel* nameCaption;
    QLabel* nameLabel;
    QLabel* countCaption;
    QLabel* countLabel;
    QLabel* hintLabel;
    NameGrid* nameList;
    QScrollArea* pictureArea;
    PictureImage* pictureView;
    QMenu* popupMenu;
    QAction* addFromFileAction;
    QAction* saveAction;
    QAction* deleteAction;
    QAction* pictureSeparator;
    QAction* newFileAction;
    QAction* openFileAction;
    QAction* fileSeparator;
    QAction* renameAction;
    QMenu* filterMenu;
    QAction* showAllAction;
    QAction* filterByNameAction;
    QAction* wallpaperAction;
    QAction* clipboardSeparator;
    QAction* copyAction;
    QAction* cutAction;
    QAction* pasteAction;
    QAction* quitSeparator;
    QAction* quitAction;

    // File dialog settings (the dialogs themselves are shown through the services).
    FileDialogSettings openPictureDialog;
    FileDialogSettings savePictureDialog;
    FileDialogSettings openFileDialog;

    // Window creation and display.
    void openDefaultFile();
    // The command line's file: opened as the open command does, its folder made current.
    void openStartFile(const std::string& path);
    void followCurrentRecord();
    void showPrevious();
    void showNext();
    void openWebSite();
    void quit();
    void openViewer();

    // Adding pictures.
    void addFromFile();
    void pasteFromClipboard();
    // Adds picture files chosen or dropped: one through the naming dialog, several
    // named after their files, with progress and one summary of what was not added.
    void addPictureFiles(const std::vector<std::string>& paths);
    // Removing, renaming and exporting.
    void deletePicture();
    void cutToClipboard();
    void copyToClipboard();
    void renamePicture();
    void savePicture();
    // Name filter.
    void filterByName();
    void showAll();
    // Picture data files.
    void openPictureFile();
    // The open command once a path is chosen: switches to that file and applies the rules.
    void openPictureFileAt(const std::string& path);
    void newPictureFile();
    // Wallpaper.
    void setAsWallpaper();

    // Rules shared by the commands.
    bool currentPictureIsNull();
    void showCurrentPicture();
    void applyEmptyFileRule();
    void applyLoadedFileRule();
    // Count grows by `added`; the last added picture is current.
    void applyAddedPictureRule(int added = 1);
    void updateCountLabel();
    void setPictureCommandsEnabled(bool enabled);
    // The name of the current record as nameLabel shows it.
    std::string displayedName() const;
    // Decoding the neighbours of the shown record ahead, on a worker thread (on by
    // default); the preloader, for tests and benchmarks (null when off).
    void setNeighbourPreloading(bool on);
    NeighbourPreloader* neighbourPreloader() { return preloader_.get(); }

    // The services the commands use.
    BrowserServices& services() { return services_; }
    // The reader of the picture formats the store leaves to Qt.
    const ImageDecoder& imageDecoder() const { return imageDecoder_; }

    // Creates name + ".vlm" in the current directory from the template pictures.vlm
    // and switches to it (the new-file dialog's confirmation).
    void createPictureFile(const std::string& name);

signals:
    // A picture of a several-file add was committed; `added` counts them so far.
    void batchPictureAdded(int added);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Adding one file through the naming dialog, once it is chosen.
    void addNamedPicture(const std::string& path);
    // Adding several files, each named after its file and committed at once.
    void addPictureBatch(const std::vector<std::string>& paths);
    // The naming dialog with the proposed name; true when a name was confirmed.
    bool askPictureName();
    // Appends a record named by the name entry result holding picture's JPEG bytes.
    void appendPicture(JpegPicture& picture);
    // The guard shared by delete and cut: a picture, more than one record, and "OK".
    bool confirmRemoval(const std::string& noPicture, const std::string& lastPicture, const std::string& question);

    void buildControls();
    void buildPopupMenu();
    void connectCommands();
    void refreshNameDisplays();
    void blankNameDisplays();
    void popupAt(const QPoint& globalPos);
    // The preloaded picture of the current record, when there is one; wait: also
    // when the worker is decoding it right now (a paint waits; a refresh does not).
    std::optional<PreloadedPicture> takePreloaded(bool wait);
    // Starts decoding the current record's display bitmap on the worker, so that what
    // follows the opening of a file (at start, the window's first show) runs beside it.
    // Not on every refresh: a command that walks many records paints only the last.
    void decodeCurrentAhead();
    void schedulePreload();
    void preloadNeighbours();

    BrowserServices services_;
    QtFileDialogs defaultDialogs_;
    QtImageDecoder imageDecoder_;
    std::unique_ptr<NeighbourPreloader> preloader_;
    bool preloadScheduled_ = false;
    // The preloaded picture last shown: a command that shows the record again (next
    // and previous do, after the refresh) finds it here.
    std::optional<std::pair<PreloadKey, PreloadedPicture>> lastPreloaded_;
};

// The connection string for a picture data file path.
std::string connectionStringFor(const std::string& path);

}  // namespace velmora
