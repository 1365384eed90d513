// Opening picture data files and creating new ones from the template, and the
// name filter.
#include "browser/collection_browser.h"
#include "browser/file_names.h"
#include "store/database/collection_copy.h"
#include "store/database/picture_trash.h"
#include "store/database/server_address.h"
#include "store/database/sql_database.h"

namespace velmora {

void CollectionBrowser::openDefaultCollection() {
    const std::string path = currentDirectory() + "\\pictures.vlm";
    connection_.setConnectionString(connectionStringFor(path));
    query_.activate();
    title_ += fillIn(texts().defaultFileTitle, {path});
    view_.setTitle(title_);
    if (currentPictureIsNull()) {
        setStates({.previous = false, .next = false, .pictureCommands = false});
        pictureCount_ = 0;
    } else {
        showCurrentPicture();
        preloads_.decodeCurrentAhead();
        pictureCount_ = query_.recordCount();
        // The picture commands keep their design state.
        setNavigation(false, true);
    }
    updateCountLabel();
}

void CollectionBrowser::openStartCollection(const std::string& path) {
    // A server collection has no folder; the current directory stays.
    if (isServerAddress(path)) return openCollectionAt(path);
    // As a file chosen in the open dialog: its folder becomes the current directory,
    // so new files are made beside it.
    const std::string absolute = absolutePath(path);
    setCurrentDirectory(folderOf(absolute));
    openCollectionAt(absolute);
}

void CollectionBrowser::switchTo(const std::string& path, std::unique_ptr<SqlDatabase> opened) {
    // What could be undone belongs to the file being left.
    rememberUndo(std::nullopt);
    storedLengths_.forget();
    connection_.close();
    connection_.setConnectionString(connectionStringFor(path));
    if (opened) {
        connection_.adopt(std::move(opened));
    } else {
        connection_.open();
    }
    query_.open();
    title_ = fillIn(texts().fileTitle, {shownCollectionName(path)});
    view_.setTitle(title_);
}

void CollectionBrowser::openCollectionAt(const std::string& path, std::unique_ptr<SqlDatabase> opened) {
    switchTo(path, std::move(opened));
    applyFileRule();
}

void CollectionBrowser::openCollection() {
    guard([this] {
        const std::vector<std::string> chosen = view_.chooseFiles(FileDialogKind::Open, fileDialogs_.openCollection);
        if (!chosen.empty()) openCollectionAt(chosen.front());
    });
}

void CollectionBrowser::newCollection() {
    view_.askText({NameDialogKind::NewFile, texts().newFileText,
                   [this](const std::string& name) { return guard([&] { createCollection(name); }); }});
}

void CollectionBrowser::createCollection(const std::string& name) {
    const std::string fileName = name + ".vlm";
    // Through SQLite, so a writer in another instance cannot tear the copy; never over,
    // and never emptying, a file that already exists under that name.
    copyCollection("pictures.vlm", fileName);
    const std::string previousTitle = title_;
    switchTo(currentDirectory() + "/" + fileName);

    try {
        // The deletes overwrite what they free, and the rebuild after them leaves no
        // freed page: the new file holds no byte of the template's pictures.
        connection_.database().eraseFreedSpace();
        // The copied records go in one transaction: the new file is emptied all at once,
        // or, on a failure, not at all.
        const int count = query_.recordCount();
        connection_.beginTransaction();
        for (int i = 0; i < count; ++i) query_.remove();
        // Records a name filter does not select are deleted too: the new file is empty.
        deleteAllPictures(connection_);
        // Nor does it keep the template's trash or digests.
        dropKeptTables(connection_.database());
        connection_.commit();
        wipeNewCollection(connection_, fileName);
    } catch (...) {
        // A file that is not both empty and wiped is not left behind as the new one.
        discardNewCollection(connection_, fileName);
        title_ = previousTitle;
        view_.setTitle(title_);
        throw;
    }
    applyFileRule();
}

void CollectionBrowser::reopenWith(const char* statement, std::vector<std::string> parameters) {
    query_.setSql(statement, std::move(parameters));
    query_.open();
    if (currentPictureIsNull()) {
        clearShownPicture();
    } else {
        showCurrentPicture();
    }
}

void CollectionBrowser::filterByName() {
    // The text is a bound value: a quote is an ordinary character, and nothing typed
    // can change the statement. "%" and "_" keep their wildcard meaning. A statement
    // that fails keeps the dialog open.
    view_.askText({NameDialogKind::Filter, texts().filterText, [this](const std::string& text) {
                       return guard([&] { reopenWith(kFilterStatement, {text}); });
                   }});
}

void CollectionBrowser::showAll() {
    guard([this] { reopenWith(kShowAllStatement, {}); });
}

}  // namespace velmora
