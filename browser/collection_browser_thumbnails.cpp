// The thumbnail window's commands: what delete, export and the rotation marks do with
// several pictures of the result set at once.
#include <algorithm>
#include <filesystem>
#include <set>

#include "base/error.h"
#include "base/utf8_path.h"
#include "browser/collection_browser.h"
#include "browser/thumbnail_form.h"
#include "store/database/row_check.h"
#include "wallpaper/rotation_rows.h"
#include "wallpaper/rotation_state.h"

namespace velmora {

namespace {

// A picture's name as a file name in any folder: no separators, no characters Windows
// refuses, no "." or ".." of its own; "" becomes the row's number.
std::string exportName(const std::string& name, int row) {
    std::string safe;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        safe += byte < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos ? '_' : c;
    }
    while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) safe.pop_back();
    if (safe.empty()) safe = std::to_string(row + 1);
    return safe;
}

// folder/name.jpg, or folder/name (2).jpg and on when that is taken.
std::filesystem::path freePath(const std::filesystem::path& folder, const std::string& name,
                               std::set<std::filesystem::path>& taken) {
    for (int n = 1;; ++n) {
        const std::string suffix = n == 1 ? "" : " (" + std::to_string(n) + ")";
        std::filesystem::path path = folder / pathFromUtf8(name + suffix + ".jpg");
        std::error_code error;
        if (!taken.count(path) && !std::filesystem::exists(path, error)) {
            taken.insert(path);
            return path;
        }
    }
}

}  // namespace

ThumbnailForm& CollectionBrowser::thumbnails() {
    if (!thumbnails_) thumbnails_ = std::make_unique<ThumbnailForm>(*this, services_.thumbnailStore);
    return *thumbnails_;
}

void CollectionBrowser::openThumbnails() {
    thumbnails();
    view_.showThumbnails();
}

void CollectionBrowser::removeRows(const std::vector<int>& rows) {
    guard([&] {
        if (rows.empty() || !query_.active()) return;
        if (rows.size() == 1) {
            // One picture: the delete command itself, with its own question and rules.
            moveToRow(rows.front());
            deletePicture();
            return;
        }
        // As with one picture, the collection keeps at least one.
        if (static_cast<int>(rows.size()) >= query_.recordCount()) {
            view_.showMessage(MessageKind::Condition, texts().lastPictureNotDeleted);
            return;
        }
        if (!view_.confirm(fillIn(texts().confirmDeleteMany, {std::to_string(rows.size())}))) return;
        std::vector<int> order = rows;
        std::sort(order.rbegin(), order.rend());  // from the last, so the rows before keep their places
        std::vector<TrashEntry> trashed;
        auto remember = [&] {
            pictureCount_ -= static_cast<int>(trashed.size());
            updateCountLabel();
            if (!trashed.empty()) rememberUndo(UndoStep{.kind = UndoStep::Kind::DeleteMany, .trashedMany = trashed});
        };
        try {
            for (const int row : order) {
                query_.moveBy(row - query_.currentRow());
                if (std::optional<TrashEntry> kept = query_.moveToTrash()) trashed.push_back(*kept);
            }
        } catch (...) {
            remember();  // what was deleted before the failure can be taken back
            throw;
        }
        showCurrentPicture();
        remember();
    });
}

void CollectionBrowser::restoreMany(const std::vector<TrashEntry>& entries) {
    // All come back, or none: each is checked first.
    PictureTrash trash(connection_);
    for (const TrashEntry& entry : entries) {
        if (!trash.holds(entry)) throw Error(kRowChanged);
    }
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) query_.restoreFromTrash(entry->id, *entry);
    showRestoredPicture(static_cast<int>(entries.size()));
}

void CollectionBrowser::exportRows(const std::vector<int>& rows, const std::string& folder) {
    guard([&] {
        std::set<std::filesystem::path> taken;
        for (const int row : rows) {
            JpegPicture picture;
            const SharedBytes stored = query_.blobAt(row, "picture");
            if (!stored || stored->empty()) continue;  // a row without a picture has nothing to save
            picture.readStored(stored);
            const std::string name = exportName(query_.displayName(row).value_or(""), row);
            picture.saveToFile(utf8Of(freePath(pathFromUtf8(folder), name, taken)));
        }
    });
}

void CollectionBrowser::setRowsLeftOut(const std::vector<int>& rows, bool leftOut) {
    guard([&] {
        RotationRows rotation(query_, connection_.database());
        for (const int row : rows) rotation.setLeftOut(static_cast<std::size_t>(row), leftOut);
    });
}

std::optional<std::vector<bool>> CollectionBrowser::rowsLeftOut(const std::vector<int>& rows) {
    RotationState state(connection_.database());
    if (!state.inUse()) return std::nullopt;
    std::vector<bool> leftOut(rows.size(), false);
    std::vector<std::int64_t> rowids;
    for (const int row : rows) rowids.push_back(query_.rowidAt(row).value_or(0));
    const std::vector<std::string> keys = state.keysOf(rowids);
    for (std::size_t i = 0; i < rows.size(); ++i) leftOut[i] = !keys[i].empty() && state.leftOut(keys[i]);
    return leftOut;
}

}  // namespace velmora
