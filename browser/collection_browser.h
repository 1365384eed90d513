#pragma once
// CollectionBrowser: the picture browser without a window. It owns the connection,
// the picture query and its statement, the picture count, the name entry result, the
// file dialog settings and the decoding ahead of neighbours; it runs every command,
// applies the availability rules and decides every message and its order. A view
// (BrowserView) shows what it is told and calls one method per command.
//
// Every command method runs inside the browser's guard: an error that escapes the
// command is shown as the application's default handler shows it (MessageKind::Error,
// closing full stop added) and never reaches the caller.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "browser/browser_services.h"
#include "browser/browser_view.h"
#include "browser/data_source.h"
#include "browser/neighbour_preloader.h"
#include "store/database/connection.h"
#include "store/database/picture_digests.h"
#include "store/database/picture_query.h"

namespace velmora {

// The maker's web site, handed to the desktop's URL handler.
inline constexpr const char* kWebSiteAddress = "https://velmora.example/";

// The name filter's statement, the typed text bound to ?1, and the all-records one.
inline constexpr const char* kFilterStatement = "select * from pictures where filename like '%' || ?1 || '%'\r\n";
inline constexpr const char* kShowAllStatement = "select * from pictures\r\n";

// The connection string for a picture data file path.
std::string connectionStringFor(const std::string& path);

// The indicator of the current row in the name list.
enum class RowMarker { None, Current, Editing, Inserting };

class CollectionBrowser {
public:
    CollectionBrowser(BrowserServices services, BrowserView& view);
    ~CollectionBrowser();
    CollectionBrowser(const CollectionBrowser&) = delete;
    CollectionBrowser& operator=(const CollectionBrowser&) = delete;

    // Window creation: shows the design state, then opens startFile as the open
    // command does (its folder made current), else pictures.vlm of the current
    // directory. A failure is reported and leaves the design state.
    void start(const std::optional<std::string>& startFile = std::nullopt);

    // Runs the command a control of the command table starts, when it is available.
    void run(CommandId command);

    // Navigation: the buttons, and the name list's ordinary moves of the cursor.
    void previous();
    void next();
    void moveToRow(int row);
    void moveBy(int rows);
    void moveToFirst();
    void moveToLast();
    // Adding: files chosen in the open dialog, the clipboard, files dropped.
    void addFromFiles();
    void paste();
    // True when paths hold a picture file to add or one picture data file to open.
    bool acceptsDrop(const std::vector<std::string>& paths) const;
    // Adds the dropped picture files or opens the dropped data file, once the drop
    // has returned (the program the files came from is not kept waiting).
    void drop(const std::vector<std::string>& paths);
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
    // The wallpaper, from the main window and from the open viewer.
    void setAsWallpaper();
    void setViewerAsWallpaper();
    // The wallpaper settings dialog: what the window's and the command line's wallpaper
    // changes use from now on.
    void openWallpaperSettings();
    void openViewer();
    void closeViewer();
    void openWebSite();
    void quit();
    // Keeping pictures: the undo of the last delete, cut, rename or add, and the trash.
    void undo();
    void openTrash();

    // What the name list shows.
    int rowCount() const { return query_.displayRowCount(); }
    std::optional<std::string> rowName(int row) { return query_.displayName(row); }
    int currentRow() const { return query_.currentRow(); }
    RowMarker rowMarker(int row) const;
    bool browsing() const { return query_.active(); }

    // For the picture area: a display bitmap decoded ahead for the current record,
    // waiting when the worker is making it now; a paint has put the picture on
    // screen; an error found while painting, reported as the default handler does.
    std::optional<PreloadedPicture> takeAheadPicture() { return takePreloaded(true); }
    void pictureShown() { schedulePreload(); }
    void reportError(const std::string& message);

    // State, for views, tests and benchmarks.
    int pictureCount() const { return pictureCount_; }
    const std::string& currentName() const { return currentName_; }
    bool nameAccepted() const { return nameEntry_.accepted; }
    PictureQuery& query() { return query_; }
    const FileDialogSettings& saveDialogSettings() const { return saveDialog_; }
    // Decoding the neighbours of the shown record ahead on a worker thread (on by
    // default); the preloader, null when off.
    void setNeighbourPreloading(bool on);
    NeighbourPreloader* neighbourPreloader() { return preloader_.get(); }
    // The new-file dialog's confirmation: creates name + ".vlm" in the current
    // directory from the template pictures.vlm and switches to it.
    void createCollection(const std::string& name);

private:
    // The last change that can be undone, and how to find what it changed.
    struct UndoStep {
        enum class Kind { Delete, Cut, Rename, Add };
        Kind kind = Kind::Delete;
        std::string name{};                              // as the caption names it
        TrashEntry trashed{};                            // Delete, Cut
        PictureQuery::RowIdentity renamed{};             // Rename: the row as renamed
        FieldValue previousName{};                       // Rename
        std::vector<PictureQuery::RowIdentity> added{};  // Add: the rows added
    };
    struct NameEntry {
        bool accepted = false;
        std::string name;
    };
    // Runs command; an escaping error is shown. False when it ended with an error.
    bool guard(const std::function<void()>& command);

    // Display and rules.
    bool currentPictureIsNull();
    JpegPicture currentPicture();
    void showCurrentPicture();
    void followCurrentRecord();
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
    void openCollectionAt(const std::string& path);
    void switchTo(const std::string& path);

    // Adding.
    void addPictureFiles(const std::vector<std::string>& paths);
    void addNamedPicture(const std::string& path);
    void addPictureBatch(const std::vector<std::string>& paths);
    bool askPictureName();
    void appendPicture(JpegPicture& picture);
    // Removing: the guard shared by delete and cut, and the removal itself.
    bool confirmRemoval(const char* noPicture, const char* lastPicture, const char* question);
    // afterDelete runs once the record is in the trash; when it fails, the record is put back.
    void removeCurrent(UndoStep::Kind kind, const std::function<void()>& afterDelete = {});
    // Undo and the trash.
    void rememberUndo(std::optional<UndoStep> step);
    CommandStates withUndo(CommandStates states) const;
    void undoStep(const UndoStep& step);
    void showRestoredPicture(int added);
    TrashContent trashContent();
    bool restoreFromTrash(std::int64_t id);
    bool deleteFromTrash(std::int64_t id);
    bool emptyTrash();
    // Adding: the picture already in the file with these bytes, and the added record.
    std::optional<StoredDuplicate> storedDuplicate(JpegPicture& picture);
    std::optional<PictureQuery::RowIdentity> rememberAdded(JpegPicture& picture);
    void reopenWith(const char* statement, std::vector<std::string> parameters);
    void runWallpaper(bool viewer);
    bool saveWallpaperChoice(const WallpaperSettings& before, const WallpaperSettingsChoice& offered,
                             const WallpaperSettingsChoice& choice);

    // Decoding ahead.
    std::optional<PreloadedPicture> takePreloaded(bool wait);
    bool preloading();
    void decodeCurrentAhead();
    void schedulePreload();
    void preloadNeighbours();

    BrowserServices services_;
    BrowserView& view_;
    Connection connection_;
    PictureQuery query_{connection_, "ADOQuery1"};
    DataSource dataSource_{query_};

    int pictureCount_ = 0;
    NameEntry nameEntry_;
    // The pictures' lengths, kept between looks for a picture stored already.
    PictureLengths storedLengths_;
    std::string title_;
    std::string currentName_;
    CommandStates states_;
    // The picture the picture area shows, and the viewer's while it is open.
    std::optional<JpegPicture> shown_;
    std::optional<JpegPicture> viewerPicture_;

    std::optional<UndoStep> undo_;

    FileDialogSettings openPictureDialog_;
    FileDialogSettings saveDialog_;
    FileDialogSettings openCollectionDialog_;

    std::unique_ptr<NeighbourPreloader> preloader_;
    bool preloadScheduled_ = false;
    // The preloaded picture last shown: a command that shows the record again (next
    // and previous do, after the refresh) finds it here.
    std::optional<std::pair<PreloadKey, PreloadedPicture>> lastPreloaded_;
};

}  // namespace velmora
