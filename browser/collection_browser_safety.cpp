// Keeping pictures: the undo of the last delete, cut, rename or add, the trash dialog's
// commands, and finding a picture that is stored already. Every write goes through the
// store's row checks: what another program changed since is never overwritten.
#include "base/error.h"
#include "browser/collection_browser.h"
#include "store/database/row_check.h"

namespace velmora {

CommandStates CollectionBrowser::withUndo(CommandStates states) const {
    states.undo = undo_.available();
    states.undoCaption = undo_.caption();
    states.language = chosenLanguage_;
    return states;
}

void CollectionBrowser::rememberUndo(std::optional<UndoStep> step) {
    if (step) {
        undo_.remember(std::move(*step));
    } else {
        undo_.forget();
    }
    setStates(states_);
}

void CollectionBrowser::undo() {
    guard([this] {
        const std::optional<UndoStep> step = undo_.take();
        if (!step) return;
        setStates(states_);
        try {
            undoStep(*step);
        } catch (const Error& error) {
            if (std::string(error.what()) != kRowChanged) throw;
            view_.showMessage(MessageKind::Condition, texts().undoRowChanged);
        }
    });
}

void CollectionBrowser::undoStep(const UndoStep& step) {
    using Kind = UndoStep::Kind;
    switch (step.kind) {
    case Kind::Delete:
    case Kind::Cut:
        query_.restoreFromTrash(step.trashed.id, step.trashed);
        showRestoredPicture(1);
        break;
    case Kind::Rename: query_.renameRow(step.renamed, step.previousName); break;
    case Kind::DeleteMany: restoreMany(step.trashedMany); break;
    case Kind::Add: {
        // Into the trash, so undoing an add loses nothing either. The rows are checked
        // first: all of them go, or none.
        for (const PictureQuery::RowIdentity& row : step.added) {
            bool listed = false;
            for (int i = 0; i < query_.recordCount() && !listed; ++i) listed = query_.rowidAt(i) == row.rowid;
            if (!listed) throw Error(kRowChanged);
        }
        for (auto row = step.added.rbegin(); row != step.added.rend(); ++row) {
            query_.moveRowToTrash(*row);
            pictureCount_ -= 1;
        }
        updateCountLabel();
        // The refresh of each move showed the record that became current; with none
        // left, the picture commands go as in an empty file.
        if (currentPictureIsNull()) {
            clearShownPicture();
            setStates({.previous = false, .next = false, .pictureCommands = false});
        }
        break;
    }
    }
}

// A picture back from the trash: shown and counted as an added one.
void CollectionBrowser::showRestoredPicture(int added) {
    showCurrentPicture();
    applyAddedPictureRule(added);
}

void CollectionBrowser::openTrash() {
    guard([this] {
        view_.showTrash({[this] { return trashContent(); },
                         [this](std::int64_t id) { return restoreFromTrash(id); },
                         [this](std::int64_t id) { return deleteFromTrash(id); }, [this] { return emptyTrash(); }});
    });
}

TrashContent CollectionBrowser::trashContent() {
    TrashContent content;
    guard([&] {
        PictureTrash trash(connection_);
        content.pictures = trash.list();
        content.space = fillIn(texts().trashSpace, {sizeText(trash.heldBytes())});
    });
    return content;
}

bool CollectionBrowser::restoreFromTrash(std::int64_t id) {
    return guard([&] {
        query_.restoreFromTrash(id);
        showRestoredPicture(1);
    });
}

bool CollectionBrowser::deleteFromTrash(std::int64_t id) {
    if (!view_.confirm(texts().confirmDeleteForever)) return false;
    return guard([&] { PictureTrash(connection_).deleteForever(id); });
}

bool CollectionBrowser::emptyTrash() {
    std::size_t count = 0;
    if (!guard([&] { count = PictureTrash(connection_).list().size(); })) return false;
    if (count == 0 || !view_.confirm(fillIn(texts().confirmEmptyTrash, {std::to_string(count)}))) return false;
    return guard([&] { PictureTrash(connection_).empty(); });
}

std::optional<StoredDuplicate> CollectionBrowser::storedDuplicate(JpegPicture& picture) {
    SharedBytes bytes = picture.jpegData();
    if (!bytes || !connection_.isOpen()) return std::nullopt;
    return findStoredDuplicate(connection_, *bytes, &storedLengths_);
}

std::optional<PictureQuery::RowIdentity> CollectionBrowser::rememberAdded(JpegPicture& picture) {
    std::optional<PictureQuery::RowIdentity> row = query_.currentIdentity();
    // The digest spares the next look reading the picture back; failing to keep it
    // only costs that.
    if (row) {
        try {
            rememberDigest(connection_, row->rowid, *picture.jpegData());
            storedLengths_.remember(connection_.database(), row->rowid,
                                    static_cast<std::int64_t>(picture.jpegData()->size()));
        } catch (const std::exception&) {
            storedLengths_.forget();
        }
    }
    return row;
}

}  // namespace velmora
