// Adding pictures: one file through the naming dialog, several named after their
// files with progress and one summary, the clipboard, and files dropped.
#include "browser/collection_browser.h"
#include "browser/file_names.h"
#include "store/imagefile/clipboard.h"
#include "store/imagefile/picture_file.h"

namespace velmora {

namespace {

// Batches up to this size finish too quickly to be worth a progress dialog.
constexpr int kBatchWithoutProgress = 5;
// The summary box names this many files; the details name them all.
constexpr std::size_t kListedNotAdded = 15;

bool isCollectionFile(const std::string& path) {
    std::string extension = pictureFileExtension(path);
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return extension == "vlm";
}

}  // namespace

void CollectionBrowser::appendPicture(JpegPicture& picture, const std::string& name) {
    query_.append();
    query_.fieldByName("filename").setAsString(name);
    query_.fieldByName("picture").writeBytes(picture.jpegData());
}

void CollectionBrowser::addFromFiles() {
    guard([this] {
        dataSource_.edit();
        addPictureFiles(view_.chooseFiles(FileDialogKind::OpenMany, fileDialogs_.openPicture));
    });
}

void CollectionBrowser::addPictureFiles(const std::vector<std::string>& paths) {
    if (paths.size() == 1) {
        addNamedPicture(paths.front());
    } else if (!paths.empty()) {
        addPictureBatch(paths);
    }
}

void CollectionBrowser::addNamedPicture(const std::string& path) {
    NameEntry::Scope scope{nameEntry_};
    JpegPicture picture = loadPictureFile(path, services_.imageDecoder);
    std::optional<JpegPicture> previous;
    if (!currentPictureIsNull()) previous = shown_;

    shown_ = picture;
    view_.showPicture(picture, std::nullopt);
    if (nameEntry_.ask(view_, pictureCount_)) {
        appendPicture(picture, nameEntry_.name());
        // From a file the rule comes before the post: the refresh after it decides
        // the navigation buttons.
        applyAddedPictureRule();
        nameEntry_.clearAccepted();
        query_.post();
        if (std::optional<PictureQuery::RowIdentity> added = rememberAdded(picture)) {
            rememberUndo(UndoStep{.kind = UndoStep::Kind::Add, .name = added->name.asString(), .added = {*added}});
        }
    } else if (currentPictureIsNull() || !previous) {
        clearShownPicture();
    } else {
        shown_ = previous;
        view_.showPicture(*previous, std::nullopt);
    }
}

void CollectionBrowser::addPictureBatch(const std::vector<std::string>& paths) {
    const int total = static_cast<int>(paths.size());
    std::unique_ptr<Progress> progress;
    if (total > kBatchWithoutProgress) progress = view_.startProgress(total);

    std::vector<std::string> notAdded;  // "file: error" lines
    std::vector<PictureQuery::RowIdentity> addedRows;
    int added = 0;
    for (int i = 0; i < total; ++i) {
        if (progress &&
            !progress->advance(i, fillIn(texts().addingProgress, {std::to_string(i + 1), std::to_string(total)}))) {
            break;
        }
        const std::string& path = paths[static_cast<std::size_t>(i)];
        try {
            JpegPicture picture = loadPictureFile(path, services_.imageDecoder);
            picture.jpegData();  // encoded before the record exists, so a failure leaves none
            // A picture stored already (also one added earlier in this batch) is skipped.
            if (std::optional<StoredDuplicate> stored = storedDuplicate(picture)) {
                notAdded.push_back(fileNameOf(path) + ": " + fillIn(texts().duplicateNotAdded, {stored->name}));
                continue;
            }
            appendPicture(picture, baseNameOf(path));
            query_.post();
            ++added;
            if (std::optional<PictureQuery::RowIdentity> row = rememberAdded(picture)) addedRows.push_back(*row);
        } catch (const std::exception& error) {
            // A record the store refused to post is dropped again.
            try {
                query_.cancel();
            } catch (const std::exception&) {
            }
            notAdded.push_back(fileNameOf(path) + ": " + error.what());
        }
    }
    progress.reset();

    if (added > 0) applyAddedPictureRule(added);
    if (!addedRows.empty()) {
        rememberUndo(UndoStep{.kind = UndoStep::Kind::Add,
                              .name = addedRows.size() == 1 ? addedRows.front().name.asString() : "",
                              .added = addedRows});
    }
    if (notAdded.empty()) return;
    // A long list would outgrow the screen: the box names the first ones, the details all.
    std::string text = fillIn(texts().notAddedHeading, {std::to_string(notAdded.size())});
    std::string details;
    for (std::size_t i = 0; i < notAdded.size(); ++i) {
        if (i < kListedNotAdded) text += "\n" + notAdded[i];
        details += notAdded[i] + "\n";
    }
    if (notAdded.size() > kListedNotAdded) {
        text += fillIn(texts().notAddedMore, {std::to_string(notAdded.size() - kListedNotAdded)});
    } else {
        details.clear();
    }
    view_.showMessage(MessageKind::NotAdded, text, details);
}

void CollectionBrowser::paste() {
    guard([this] {
        NameEntry::Scope scope{nameEntry_};
        dataSource_.edit();
        if (!services_.clipboard->hasBitmap()) {
            view_.showMessage(MessageKind::Condition, texts().noBitmapOnClipboard);
            return;
        }
        JpegPicture previous;
        Field stored = query_.fieldByName("picture");
        previous.readStored(stored.isNull() ? shareBytes({}) : stored.asBytes());

        PictureContainer pasted = pastePicture(*services_.clipboard);
        JpegPicture picture;
        picture.assignBitmap(pasted.bitmap());
        shown_ = picture;
        view_.showPicture(picture, std::nullopt);
        if (nameEntry_.ask(view_, pictureCount_)) {
            appendPicture(picture, nameEntry_.name());
            // From the clipboard the rule comes last and decides the navigation buttons.
            query_.post();
            applyAddedPictureRule();
            if (std::optional<PictureQuery::RowIdentity> added = rememberAdded(picture)) {
                rememberUndo(UndoStep{.kind = UndoStep::Kind::Add, .name = added->name.asString(), .added = {*added}});
            }
        } else if (currentPictureIsNull()) {
            clearShownPicture();
        } else {
            shown_ = previous;
            view_.showPicture(previous, std::nullopt);
        }
    });
}

bool CollectionBrowser::acceptsDrop(const std::vector<std::string>& paths) const {
    for (const std::string& path : paths) {
        if ((paths.size() == 1 && isCollectionFile(path)) || isAddablePictureFile(path, services_.imageDecoder)) {
            return true;
        }
    }
    return false;
}

void CollectionBrowser::drop(const std::vector<std::string>& paths) {
    std::vector<std::string> pictures;
    for (const std::string& path : paths) {
        if (paths.size() == 1 && isCollectionFile(path)) {
            view_.post([this, path] { guard([&] { openCollectionAt(path); }); });
            return;
        }
        if (isAddablePictureFile(path, services_.imageDecoder)) pictures.push_back(path);
    }
    if (pictures.empty()) return;
    view_.post([this, pictures] {
        guard([&] {
            dataSource_.edit();
            addPictureFiles(pictures);
        });
    });
}

}  // namespace velmora
