#pragma once
// CollectionBrowser: the picture browser without a window. It owns the connection, the
// picture query and its statement, the picture count and what the commands keep between
// runs (the undo history, the dialogs' settings, the name entry, the decoding ahead); it
// runs every command, applies the availability rules and decides every message and its
// order. A view (BrowserView) shows what it is told and asks the core through
// BrowserCore.
//
// Every command method runs inside the browser's guard: an error that escapes the
// command is shown as the application's default handler shows it (MessageKind::Error,
// closing full stop added) and never reaches the caller.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/browser_core.h"
#include "browser/browser_services.h"
#include "browser/browser_view.h"
#include "browser/data_source.h"
#include "browser/file_dialogs.h"
#include "browser/name_entry.h"
#include "browser/preload_coordinator.h"
#include "browser/undo_history.h"
#include "browser/wallpaper_settings_editor.h"
#include "store/database/connection.h"
#include "store/database/picture_digests.h"
#include "store/database/picture_query.h"
#include "store/database/sql_database.h"

namespace velmora {

// The maker's web site, handed to the desktop's URL handler.
inline constexpr const char* kWebSiteAddress = "https://velmora.example/";

// The name filter's statement, the typed text bound to ?1, and the all-records one.
inline constexpr const char* kFilterStatement = "select * from pictures where filename like '%' || ?1 || '%'\r\n";
inline constexpr const char* kShowAllStatement = "select * from pictures\r\n";

// The connection string for a picture data file path.
std::string connectionStringFor(const std::string& path);

class ThumbnailForm;

class CollectionBrowser final : public BrowserCore {
public:
    CollectionBrowser(BrowserServices services, BrowserView& view);
    ~CollectionBrowser();
    CollectionBrowser(const CollectionBrowser&) = delete;
    CollectionBrowser& operator=(const CollectionBrowser&) = delete;

    // ---- Window creation ----

    // Shows the design state, then opens startFile as the open command does (its folder
    // made current), else pictures.vlm of the current directory. A failure is reported
    // and leaves the design state.
    void start(const std::optional<std::string>& startFile = std::nullopt);

    // ---- What a window asks (BrowserCore) ----

    void run(CommandId command) override;
    int rowCount() const override { return query_.displayRowCount(); }
    std::optional<std::string> rowName(int row) override { return query_.displayName(row); }
    int currentRow() const override { return query_.currentRow(); }
    RowMarker rowMarker(int row) const override;
    void moveToRow(int row) override;
    void moveBy(int rows) override;
    void moveToFirst() override;
    void moveToLast() override;
    void openViewer() override;
    std::optional<PreloadedPicture> takeAheadPicture() override { return preloads_.take(true); }
    void pictureShown() override { preloads_.schedule(); }
    void reportError(const std::string& message) override;
    bool acceptsDrop(const std::vector<std::string>& paths) const override;
    void drop(const std::vector<std::string>& paths) override;
    void changesMayHaveArrived() override;

    // ---- The commands run() starts, callable directly (they check their own conditions,
    // not their availability) ----

    // Navigation buttons.
    void previous();
    void next();
    // Adding: files chosen in the open dialog, the clipboard.
    void addFromFiles();
    void paste();
    // Removing, renaming and exporting the current picture.
    void deletePicture();
    void cut();
    void copy();
    void rename();
    void save();
    // The name filter.
    void filterByName();
    void showAll();
    // Picture data files.
    void openCollection();
    void newCollection();
    // A server collection: its address asked for in the name dialog (offering the ones
    // used last), then its password where one is needed (browser/server_login.h).
    void openServer();
    // The address dialog's confirmation; true when the dialog may close (opened, or the
    // password dialog cancelled, which leaves the current collection open).
    bool openServerAt(const std::string& address);
    // The wallpaper, from the main window and from the open viewer.
    void setAsWallpaper();
    void setViewerAsWallpaper();
    // The wallpaper settings dialog: what the window's and the command line's wallpaper
    // changes use from now on.
    void openWallpaperSettings();
    void closeViewer();
    // The open viewer's keys: the picture before or after, caption and hint with it.
    void viewerPrevious();
    void viewerNext();
    void openWebSite();
    void quit();
    // Saves the interface language the next start uses (the command line's --language aside).
    void chooseChinese();
    void chooseEnglish();
    // Keeping pictures: the undo of the last delete, cut, rename or add, and the trash.
    void undo();
    void openTrash();
    // The thumbnail window over the result set: the view shows it bound to thumbnails().
    void openThumbnails();
    ThumbnailForm& thumbnails();
    // The new-file dialog's confirmation: creates name + ".vlm" in the current directory
    // from the template pictures.vlm and switches to it.
    void createCollection(const std::string& name);

    // ---- State and settings ----

    int pictureCount() const { return pictureCount_; }
    const std::string& currentName() const { return currentName_; }
    bool nameAccepted() const { return nameEntry_.accepted(); }
    bool browsing() const { return query_.active(); }
    const FileDialogSettings& saveDialogSettings() const { return fileDialogs_.save; }
    // Decoding the neighbours of the shown record ahead on a worker thread (on by default).
    void setNeighbourPreloading(bool on, NeighbourPreloader::Decoder decoder = NeighbourPreloader::decodeForDisplay) {
        preloads_.setEnabled(on, std::move(decoder));
    }

    // ---- Test and benchmark entry points: no window calls these ----

    PictureQuery& queryForTesting() { return query_; }
    // Null while decoding ahead is off.
    NeighbourPreloader* neighbourPreloaderForTesting() { return preloads_.preloader(); }

private:
    friend class ThumbnailForm;

    // Runs command; an escaping error is shown. False when it ended with an error.
    bool guard(const std::function<void()>& command);

    // Live updates from other clients (collection_browser_live.cpp): after the outermost
    // command, the view watches the connection's socket, and what arrived is read.
    void followConnection() noexcept;
    void noticeChanges();
    void scheduleRefresh();
    void refreshFromOthers();

    // Display and rules.
    bool currentPictureIsNull();
    JpegPicture currentPicture();
    void showCurrentPicture();
    void clearShownPicture();
    void followCurrentRecord();
    // The name label, the name list and the thumbnails follow the current record.
    void showCurrentName();
    // The navigation buttons as the cursor's flags say.
    void followCursorFlags();
    // Tells the view when the states change.
    void setStates(const CommandStates& states);
    void setNavigation(bool previous, bool next);
    void updateCountLabel();
    void applyEmptyFileRule();
    void applyLoadedFileRule();
    void applyFileRule();
    void applyAddedPictureRule(int added = 1);

    // Files.
    void openDefaultCollection();
    void openStartCollection(const std::string& path);
    // opened: the collection's database when the caller opened it already.
    void openCollectionAt(const std::string& path, std::unique_ptr<SqlDatabase> opened = nullptr);
    void switchTo(const std::string& path, std::unique_ptr<SqlDatabase> opened = nullptr);
    void reopenWith(const char* statement, std::vector<std::string> parameters);

    // Adding.
    void addPictureFiles(const std::vector<std::string>& paths);
    void addNamedPicture(const std::string& path);
    void addPictureBatch(const std::vector<std::string>& paths);
    void appendPicture(JpegPicture& picture, const std::string& name);
    // The picture already in the file with these bytes, and the added record.
    std::optional<StoredDuplicate> storedDuplicate(JpegPicture& picture);
    std::optional<PictureQuery::RowIdentity> rememberAdded(JpegPicture& picture);

    // Removing: the guard shared by delete and cut, and the removal itself; afterDelete
    // runs once the record is in the trash, and when it fails the record is put back.
    bool confirmRemoval(const char* noPicture, const char* lastPicture, const char* question);
    void removeCurrent(UndoStep::Kind kind, const std::function<void()>& afterDelete = {});

    // Undo and the trash.
    void rememberUndo(std::optional<UndoStep> step);
    // states with what the undo history and the language choice say.
    CommandStates withUndo(CommandStates states) const;
    void undoStep(const UndoStep& step);
    void showRestoredPicture(int added);
    TrashContent trashContent();
    bool restoreFromTrash(std::int64_t id);
    bool deleteFromTrash(std::int64_t id);
    bool emptyTrash();

    // The thumbnail window's commands on several rows of the result set.
    void removeRows(const std::vector<int>& rows);
    void restoreMany(const std::vector<TrashEntry>& entries);
    void exportRows(const std::vector<int>& rows, const std::string& folder);
    void setRowsLeftOut(const std::vector<int>& rows, bool leftOut);
    // Which of rows are left out of rotation, read together (the keys of all rows come
    // from one read); nullopt when the collection has no rotation's tables.
    std::optional<std::vector<bool>> rowsLeftOut(const std::vector<int>& rows);
    void chooseLanguage(Language language);

    // The viewer's caption, hint and picture for the current record, decoded.
    ViewerContent viewerContent();
    void stepViewer(void (CollectionBrowser::*move)());

    // The wallpaper.
    void runWallpaper(bool viewer);
    bool saveWallpaperChoice(const WallpaperSettings& before, const WallpaperSettingsChoice& offered,
                             const WallpaperSettingsChoice& choice);

    BrowserServices services_;
    BrowserView& view_;
    Connection connection_;
    PictureQuery query_{connection_, "ADOQuery1"};
    DataSource dataSource_{query_};

    int pictureCount_ = 0;
    std::string title_;
    std::string currentName_;
    CommandStates states_;
    Language chosenLanguage_ = languageInUse();
    // The picture the picture area shows, and the viewer's while it is open.
    std::optional<JpegPicture> shown_;
    std::optional<JpegPicture> viewerPicture_;
    // The pictures' lengths, kept between looks for a picture stored already.
    PictureLengths storedLengths_;

    UndoHistory undo_;
    NameEntry nameEntry_;
    FileDialogs fileDialogs_;
    WallpaperSettingsEditor wallpaperSettings_{services_.wallpaperSettings};
    PreloadCoordinator preloads_{query_, view_};
    std::unique_ptr<ThumbnailForm> thumbnails_;

    // Commands running now (guard() calls, nested); live refreshes wait for none.
    int commandDepth_ = 0;
    int watchedSocket_ = -1;
    bool refreshWanted_ = false;
    bool refreshScheduled_ = false;
};

}  // namespace velmora
