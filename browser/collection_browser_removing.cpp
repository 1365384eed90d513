// Deleting, cutting, copying, renaming and saving the current picture. The picture
// these commands act on is the current record's, read from the record itself.
#include "browser/collection_browser.h"
#include "store/imagefile/clipboard.h"

namespace velmora {

bool CollectionBrowser::confirmRemoval(const char* noPicture, const char* lastPicture, const char* question) {
    if (currentPictureIsNull()) {
        view_.showMessage(MessageKind::Condition, noPicture);
        return false;
    }
    // Counted on the result set: under a filter its only record is kept too.
    if (query_.recordCount() == 1) {
        view_.showMessage(MessageKind::Condition, lastPicture);
        return false;
    }
    return view_.confirm(question);
}

void CollectionBrowser::removeCurrent(UndoStep::Kind kind, const std::function<void()>& afterDelete) {
    const std::string name = query_.fieldByName("filename").asString();
    const int row = query_.currentRow();
    const CommandStates before = states_;
    // Kept in the file's trash: the user can take it back.
    std::optional<TrashEntry> kept = query_.moveToTrash();
    if (afterDelete) {
        try {
            afterDelete();
        } catch (...) {
            // The step after the delete failed: the picture goes back where it was, as it was.
            if (kept) {
                query_.putBack(*kept, row);
                setStates(before);
            }
            throw;
        }
    }
    showCurrentPicture();
    pictureCount_ -= 1;
    updateCountLabel();
    if (kept) rememberUndo(UndoStep{.kind = kind, .name = name, .trashed = *kept});
}

void CollectionBrowser::deletePicture() {
    guard([this] {
        if (confirmRemoval(texts().noPictureToDelete, texts().lastPictureNotDeleted, texts().confirmDelete)) {
            removeCurrent(UndoStep::Kind::Delete);
        }
    });
}

void CollectionBrowser::cut() {
    guard([this] {
        if (!confirmRemoval(texts().noPictureToCut, texts().lastPictureNotCut, texts().confirmCut)) return;
        // Decoded first: a picture that cannot be decoded is not deleted. The clipboard is
        // written once the delete has succeeded; one that refuses takes the delete back.
        JpegPicture removed = currentPicture();
        removed.bitmap();
        removeCurrent(UndoStep::Kind::Cut, [&] { copyPicture(*services_.clipboard, removed); });
    });
}

void CollectionBrowser::copy() {
    guard([this] {
        if (currentPictureIsNull()) {
            view_.showMessage(MessageKind::Condition, texts().noPictureToCopy);
            return;
        }
        // Decoded before the clipboard is emptied: a picture that does not decode
        // leaves what the clipboard held.
        JpegPicture picture = currentPicture();
        picture.bitmap();
        copyPicture(*services_.clipboard, picture);
    });
}

void CollectionBrowser::rename() {
    guard([this] {
        if (currentPictureIsNull()) {
            view_.showMessage(MessageKind::Condition, texts().noPictureToRename);
            return;
        }
        // Written unchecked; a failed post keeps the dialog open, so the text can be
        // corrected.
        view_.askText({NameDialogKind::Rename, texts().renameText, [this](const std::string& name) {
                           return guard([&] {
                               std::optional<PictureQuery::RowIdentity> before;
                               try {
                                   before = query_.currentIdentity();
                               } catch (const std::exception&) {
                                   // A row gone or changed: the post reports it.
                               }
                               dataSource_.edit();
                               query_.fieldByName("filename").setAsString(name);
                               query_.post();
                               std::optional<PictureQuery::RowIdentity> after = query_.currentIdentity();
                               if (before && after && before->rowid == after->rowid) {
                                   rememberUndo(UndoStep{.kind = UndoStep::Kind::Rename,
                                                         .name = before->name.asString(),
                                                         .renamed = *after,
                                                         .previousName = before->name});
                               }
                           });
                       }});
    });
}

void CollectionBrowser::save() {
    guard([this] {
        if (currentPictureIsNull()) {
            view_.showMessage(MessageKind::Condition, texts().noPictureToSave);
            return;
        }
        const std::vector<std::string> chosen = view_.chooseFiles(FileDialogKind::Save, fileDialogs_.save);
        if (chosen.empty()) return;
        currentPicture().saveToFile(chosen.front());
        fileDialogs_.saveCompleted();
    });
}

}  // namespace velmora
