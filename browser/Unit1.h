#pragma once
// TForm1, the main window: the name list, the picture area, the buttons and the
// popup menu; it owns the store objects, the picture count and the name entry result,
// and applies the rules that decide which commands are available.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>

#include "browser/browser_services.h"
#include "browser/file_dialogs.h"
#include "browser/name_grid.h"
#include "browser/picture_image.h"
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

class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(BrowserServices services, QWidget* parent = nullptr);
    ~TForm1() override;

    // Store objects, owned for the whole run.
    Connection ADOConnection1;
    PictureQuery ADOQuery1{ADOConnection1, "ADOQuery1"};
    DataSource DataSource1{ADOQuery1};

    // Program-wide state.
    int pictureCount = 0;
    NameEntryResult nameEntry;

    // Controls.
    QPushButton* SpeedButton1;
    QPushButton* SpeedButton2;
    QPushButton* SpeedButton3;
    QPushButton* SpeedButton4;
    QPushButton* SpeedButton5;
    QPushButton* SpeedButton6;
    QLabel* Label1;
    QLabel* DBText1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    NameGrid* DBGrid1;
    QScrollArea* ScrollBox1;
    PictureImage* Image1;
    QMenu* PopupMenu1;
    QAction* LoadFormFile;
    QAction* SaveToFile;
    QAction* DeleteFormDB;
    QAction* MenuSeperator1;
    QAction* NewPicFile;
    QAction* OpenPicDataFile;
    QAction* MenuSeperator4;
    QAction* Rename;
    QMenu* PicFilt;
    QAction* ShowAll;
    QAction* FiltByName;
    QAction* SetToDesktop;
    QAction* MenuSeperator2;
    QAction* CopyToCBoard;
    QAction* CutToCBoard;
    QAction* PasteFromCBoard;
    QAction* MenuSeperator3;
    QAction* Quit;

    // File dialog settings (the dialogs themselves are shown through the services).
    FileDialogSettings OpenPictureDialog1;
    FileDialogSettings SavePictureDialog1;
    FileDialogSettings OpenDialog1;

    // Window creation and display.
    void FormCreate();
    void DataSource1DataChange();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton6Click();
    void QuitClick();
    void Image1Click();

    // Adding pictures.
    void LoadFormFileClick();
    void PasteFromCBoardClick();
    // Removing, renaming and exporting.
    void DeleteFormDBClick();
    void CutToCBoardClick();
    void CopyToCBoardClick();
    void RenameClick();
    void SaveToFileClick();
    // Name filter.
    void FiltByNameClick();
    void ShowAllClick();
    // Picture data files.
    void OpenPicDataFileClick();
    void NewPicFileClick();
    // Wallpaper.
    void SetToDesktopClick();

    // Rules shared by the commands.
    bool currentPictureIsNull();
    void showCurrentPicture();
    void applyEmptyFileRule();
    void applyLoadedFileRule();
    void applyAddedPictureRule();
    void updateCountLabel();
    void setPictureCommandsEnabled(bool enabled);
    // The name of the current record as DBText1 shows it.
    std::string displayedName() const;

    // The services the commands use.
    BrowserServices& services() { return services_; }

    // Creates name + ".vlm" in the current directory from the template pictures.vlm
    // and switches to it (the new-file dialog's confirmation).
    void createPictureFile(const std::string& name);

private:
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

    BrowserServices services_;
    QtFileDialogs defaultDialogs_;
};

// The connection string for a picture data file path.
std::string connectionStringFor(const std::string& path);

}  // namespace velmora
