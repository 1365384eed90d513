// The picture query's blobs: left unread when a record is loaded, read from the front
// for a picture's headers, read whole when asked for.
#include "base/error.h"
#include "store/database/blob_reader.h"
#include "store/database/connection.h"
#include "store/database/picture_query.h"
#include "store/database/sql_database.h"

namespace velmora {

std::optional<DeferredBytes> Field::deferredBytes() const {
    PictureQuery& q = *query_;
    if (q.state_ != DatasetState::Browse || q.current_ < 0) return std::nullopt;
    q.currentIsNull(column_);  // loads the record
    std::shared_ptr<PictureQuery::DeferredCell> cell = q.deferred_[static_cast<size_t>(column_)];
    if (!cell || cell->whole) return std::nullopt;  // read already: asBytes() shares it
    DeferredBytes value = deferredBlob(q.lease_, "pictures", name(), q.loadedRowid_, cell->size);
    value.readWhole = [cell, readWhole = std::move(value.readWhole)] {
        if (!cell->whole) cell->whole = readWhole();
        return cell->whole;
    };
    return value;
}

bool PictureQuery::currentIsNull(int column) {
    if (!rowLoaded_ || loadedRowid_ != rowids_[static_cast<size_t>(current_)]) loadCurrentRow();
    // A blob not read yet is a value, even an empty one.
    return !deferred_[static_cast<size_t>(column)] && rowValues_[static_cast<size_t>(column)].isNull();
}

void PictureQuery::fetchDeferred(int column) {
    const std::shared_ptr<DeferredCell> cell = std::move(deferred_[static_cast<size_t>(column)]);
    FieldValue& value = rowValues_[static_cast<size_t>(column)];
    if (cell->whole) {
        value.value = cell->whole;
        return;
    }
    try {
        std::unique_ptr<SqlBlob> reader =
            connection_.database().openBlob("pictures", columns_[static_cast<size_t>(column)], loadedRowid_);
        cell->whole = shareBytes(reader->readFront(reader->size()));
        value.value = cell->whole;
    } catch (const Error&) {
        // Removed by another process since the record was loaded: reads as null, as a
        // row that was gone at loading does.
        value = FieldValue{};
    }
}

PictureQuery::DataVersion PictureQuery::dataVersion() const {
    DataVersion version;
    if (state_ == DatasetState::Closed) return version;
    SqlDatabase& db = connection_.database();
    version.opened = opened_;
    version.ownChanges = db.totalChanges();
    try {
        version.fileVersion = db.dataVersion();
    } catch (const Error&) {
        version.fileVersion = 0;  // unknown: the other two still tell this query's own changes
    }
    return version;
}

std::optional<std::int64_t> PictureQuery::rowidAt(int row) const {
    if (state_ == DatasetState::Closed || row < 0 || row >= static_cast<int>(rowids_.size())) return std::nullopt;
    return rowids_[static_cast<size_t>(row)];
}

SharedBytes PictureQuery::blobAt(int row, const std::string& column) {
    const std::optional<std::int64_t> rowid = rowidAt(row);
    const int index = columnIndex(column);
    if (!rowid || index < 0) return nullptr;
    try {
        std::unique_ptr<SqlBlob> reader =
            connection_.database().openBlob("pictures", columns_[static_cast<size_t>(index)], *rowid);
        return shareBytes(reader->readFront(reader->size()));
    } catch (const Error&) {
        return nullptr;  // gone, null, or not a blob: nothing to read ahead
    }
}

}  // namespace velmora
