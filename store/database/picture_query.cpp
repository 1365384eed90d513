#include "store/database/picture_query.h"

#include <algorithm>
#include <cctype>
#include <regex>
#include <utility>

#include "store/database/blob_reader.h"
#include "store/database/connection.h"
#include "base/error.h"
#include "store/database/row_check.h"
#include "store/database/sql_database.h"
#include "store/database/sql_text.h"

namespace velmora {

namespace {

// Readies a kept statement for its next use however this one ends.
struct StatementReset {
    SqlCursor& statement;
    ~StatementReset() {
        statement.reset();
        statement.clearBindings();
    }
};

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// The statements run here all read "select * from <table> ...": the result set's keys
// come from the same text with the star replaced, so the rows match the statement's.
std::string keyStatementOf(const std::string& sql, const std::string& key) {
    static const std::regex selectStar(R"(^\s*select\s+\*\s+from\s)", std::regex::icase);
    std::smatch match;
    if (!std::regex_search(sql, match, selectStar)) {
        throw Error("Only \"select * from\" statements can be opened");
    }
    std::string prefix = match.str(0);
    auto star = prefix.find('*');
    return prefix.substr(0, star) + key + prefix.substr(star + 1) + sql.substr(prefix.size());
}

FieldValue keyValue(std::int64_t key) { return FieldValue{key}; }

}  // namespace

// ---- Field ----

const std::string& Field::name() const { return query_->columns_.at(static_cast<size_t>(column_)); }

bool Field::isNull() const {
    PictureQuery& q = *query_;
    if (q.state_ == DatasetState::Closed) return true;
    if (q.state_ != DatasetState::Browse) {
        const auto& written = q.pending_.written[static_cast<size_t>(column_)];
        if (written) {
            if (auto bytes = std::get_if<SharedBytes>(&written->value)) return !*bytes || (*bytes)->empty();
            return written->isNull();
        }
        if (q.state_ == DatasetState::Insert) return true;
    }
    if (q.current_ < 0) return true;
    return q.currentIsNull(column_);
}

std::string Field::asString() const {
    PictureQuery& q = *query_;
    if (q.state_ == DatasetState::Closed) return {};
    if (q.state_ != DatasetState::Browse) {
        const auto& written = q.pending_.written[static_cast<size_t>(column_)];
        if (written) return written->asString();
        if (q.state_ == DatasetState::Insert) return {};
    }
    if (q.current_ < 0) return {};
    return q.currentValue(column_).asString();
}

SharedBytes Field::asBytes() const {
    PictureQuery& q = *query_;
    if (q.state_ != DatasetState::Closed && q.state_ != DatasetState::Browse) {
        const auto& written = q.pending_.written[static_cast<size_t>(column_)];
        if (written) return written->asBytes();
        if (q.state_ == DatasetState::Insert) return shareBytes({});
    }
    if (q.state_ == DatasetState::Closed || q.current_ < 0) return shareBytes({});
    return q.currentValue(column_).asBytes();
}

void Field::setAsString(const std::string& text) { query_->writeField(column_, FieldValue{text}, 1); }

void Field::writeBytes(SharedBytes bytes) {
    // Storing the bytes and marking the column changed are two notifications.
    query_->writeField(column_, FieldValue{std::move(bytes)}, 2);
}

// ---- PictureQuery ----

PictureQuery::PictureQuery(Connection& connection, std::string name)
    : connection_(connection), name_(std::move(name)) {
    connectionListener_ = connection_.addCloseListener([this] { closeSilently(); });
}

PictureQuery::~PictureQuery() {
    connection_.removeCloseListener(connectionListener_);
    sinks_.clear();
    closeSilently();
}

std::string PictureQuery::storeMessage(const std::string& message) const { return name_ + ": " + message; }

void PictureQuery::setSql(const std::string& text, std::vector<std::string> parameters) {
    closeSilently();
    sql_ = text;
    parameters_ = std::move(parameters);
}

void PictureQuery::activate() {
    if (state_ != DatasetState::Closed) return;
    connection_.open();
    SqlDatabase& db = connection_.database();
    db.requirePlainPictures();
    const std::string key = db.keyColumn();

    // Preparing the statement itself checks its text and its table, and names the fields.
    std::vector<std::string> columns;
    {
        std::unique_ptr<SqlCursor> statement = db.prepare(sql_);
        for (int i = 0; i < statement->columnCount(); ++i) columns.push_back(statement->columnName(i));
    }

    std::vector<std::int64_t> result = readKeys(db);

    std::unique_ptr<SqlCursor> names = db.prepare("SELECT filename FROM pictures WHERE " + key + "=?1");
    // Blobs are left unread until asked for: a refresh that needs only a stream's
    // headers reads those alone.
    std::unique_ptr<SqlCursor> row = db.prepare(db.rowDeferringBytes(columns));
    std::unique_ptr<SqlCursor> check =
        db.prepare(std::string("SELECT ") + kRowCheckColumns + " FROM pictures WHERE " + key + "=?1");

    // Everything that can fail has run: the query opens.
    checkStatement_ = std::move(check);
    nameStatement_ = std::move(names);
    rowStatement_ = std::move(row);
    columns_ = std::move(columns);
    rowids_ = std::move(result);
    lease_ = std::make_shared<HandleLease>(HandleLease{&db});
    ++opened_;
    current_ = rowids_.empty() ? -1 : 0;
    beforeInsert_ = -1;
    pending_ = {};
    invalidateRow();
    atStart_ = true;
    atEnd_ = rowids_.empty();
    state_ = DatasetState::Browse;
    notify(nullptr);
}

std::vector<std::int64_t> PictureQuery::readKeys(SqlDatabase& db) const {
    const std::string key = db.keyColumn();
    const std::string keySql = keyStatementOf(sql_, key);
    std::unique_ptr<SqlCursor> keys = db.prepare(keySql);
    for (size_t i = 0; i < parameters_.size(); ++i) keys->bind(static_cast<int>(i + 1), FieldValue{parameters_[i]});
    std::vector<std::int64_t> result;
    while (keys->step()) result.push_back(keys->integer(0));
    // A server table has no order of its own: its rows come in key order, as a file's
    // do. Sorted here, the server reads its rows straight, where an ORDER BY would walk
    // the key's index and visit every row from it.
    static const std::regex orderBy(R"(\border\s+by\b)", std::regex::icase);
    if (db.onServer() && !std::regex_search(keySql, orderBy) && !std::is_sorted(result.begin(), result.end())) {
        std::sort(result.begin(), result.end());
    }
    return result;
}

void PictureQuery::close() { closeSilently(); }

void PictureQuery::closeSilently() {
    bool wasOpen = state_ != DatasetState::Closed;
    rowStatement_.reset();
    nameStatement_.reset();
    checkStatement_.reset();
    eraseStatement_.reset();
    if (lease_) lease_->db = nullptr;
    lease_.reset();
    rowCheck_.reset();
    state_ = DatasetState::Closed;
    atStart_ = atEnd_ = true;
    rowids_.clear();
    columns_.clear();
    current_ = -1;
    pending_ = {};
    invalidateRow();
    if (wasOpen) notifyClosed();
}

void PictureQuery::ensureOpen() const {
    if (state_ == DatasetState::Closed) throw Error(storeMessage("Cannot perform this operation on a closed dataset"));
}

int PictureQuery::recordCount() const {
    ensureOpen();
    return static_cast<int>(rowids_.size());
}

void PictureQuery::browseCheck() {
    if (state_ != DatasetState::Edit && state_ != DatasetState::Insert) return;
    if (pending_.modified) {
        post();
    } else {
        cancel();
    }
}

void PictureQuery::moveBy(int distance) {
    ensureOpen();
    browseCheck();
    if ((distance > 0 && atEnd_) || (distance < 0 && atStart_)) return;
    atStart_ = atEnd_ = false;
    const int last = static_cast<int>(rowids_.size()) - 1;
    for (int step = 0; step < std::abs(distance); ++step) {
        if (distance > 0) {
            if (current_ >= last) {
                atEnd_ = true;
                break;
            }
            ++current_;
        } else {
            if (current_ <= 0) {
                atStart_ = true;
                break;
            }
            --current_;
        }
    }
    notify(nullptr);
}

void PictureQuery::first() {
    ensureOpen();
    browseCheck();
    current_ = rowids_.empty() ? -1 : 0;
    atStart_ = true;
    atEnd_ = rowids_.empty();
    notify(nullptr);
}

void PictureQuery::last() {
    ensureOpen();
    browseCheck();
    current_ = static_cast<int>(rowids_.size()) - 1;
    atEnd_ = true;
    atStart_ = rowids_.empty();
    notify(nullptr);
}

void PictureQuery::edit() {
    ensureOpen();
    if (state_ == DatasetState::Edit || state_ == DatasetState::Insert) return;
    browseCheck();
    pending_ = {};
    pending_.written.resize(columns_.size());
    if (rowids_.empty()) {
        // Editing nothing inserts a blank record; the flags stay as they are.
        beforeInsert_ = current_;
        state_ = DatasetState::Insert;
    } else {
        state_ = DatasetState::Edit;
    }
    notify(nullptr);
}

void PictureQuery::append() {
    ensureOpen();
    browseCheck();
    beforeInsert_ = current_;
    pending_ = {};
    pending_.written.resize(columns_.size());
    state_ = DatasetState::Insert;
    atStart_ = false;
    atEnd_ = true;
    notify(nullptr);
}

std::int64_t PictureQuery::insertPending() {
    SqlDatabase& db = connection_.database();
    std::string names, places;
    std::vector<const FieldValue*> values;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!pending_.written[i]) continue;
        // Appended piece by piece: "," + string trips GCC 12's -Wrestrict (bug 105651).
        if (!names.empty()) names += ',';
        names += quoteIdentifier(columns_[i]);
        places += places.empty() ? "?" : ",?";
        values.push_back(&*pending_.written[i]);
    }
    std::string sql = values.empty() ? "INSERT INTO pictures DEFAULT VALUES"
                                     : "INSERT INTO pictures (" + names + ") VALUES (" + places + ")";
    sql += std::string(" RETURNING ") + db.keyColumn() + ", " + kRowCheckColumns;
    std::unique_ptr<SqlCursor> insert = db.prepare(sql);
    for (size_t i = 0; i < values.size(); ++i) insert->bind(static_cast<int>(i + 1), *values[i]);
    std::optional<RowCheck> written = stepWrite(*insert, 1);
    if (!written) throw Error("the new record was not stored");
    rowCheck_ = written;
    return written->rowid;
}

std::optional<PictureQuery::RowCheck> PictureQuery::stepWrite(SqlCursor& statement, int firstColumn) {
    // The row comes back at the first step; the statement commits when it is done, and a
    // full disk or a lock may only show there.
    std::optional<RowCheck> row;
    if (statement.step()) {
        row = RowCheck{statement.integer(0), statement.value(firstColumn), statement.value(firstColumn + 1)};
        while (statement.step()) {
        }
    }
    return row;
}

void PictureQuery::bindRowCheck(SqlCursor& statement, int firstIndex) {
    // What was read about the current row; read now when nothing was read yet.
    std::int64_t rowid = rowids_[static_cast<size_t>(current_)];
    if (!rowCheck_ || rowCheck_->rowid != rowid) readRowCheck();
    statement.bind(firstIndex, keyValue(rowid));
    statement.bind(firstIndex + 1, rowCheck_->name);
    statement.bind(firstIndex + 2, rowCheck_->pictureLength);
}

void PictureQuery::readRowCheck() {
    std::int64_t rowid = rowids_[static_cast<size_t>(current_)];
    {
        StatementReset reset{*checkStatement_};
        checkStatement_->reset();
        checkStatement_->bind(1, keyValue(rowid));
        if (checkStatement_->step()) {
            rowCheck_ = RowCheck{rowid, checkStatement_->value(0), checkStatement_->value(1)};
        } else {
            rowCheck_.reset();
        }
    }
    // A row another program removed cannot be located.
    if (!rowCheck_) throw Error(kRowChanged);
}

void PictureQuery::updatePending() {
    SqlDatabase& db = connection_.database();
    std::string assignments;
    std::vector<const FieldValue*> values;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!pending_.written[i]) continue;
        if (!assignments.empty()) assignments += ',';
        assignments += quoteIdentifier(columns_[i]);
        assignments += "=?";
        values.push_back(&*pending_.written[i]);
    }
    if (values.empty()) return;
    std::string sql = "UPDATE pictures SET " + assignments + " WHERE " + rowCheckCondition(db) + " RETURNING " +
                      db.keyColumn() + ", " + kRowCheckColumns;
    std::unique_ptr<SqlCursor> update = db.prepare(sql);
    for (size_t i = 0; i < values.size(); ++i) update->bind(static_cast<int>(i + 1), *values[i]);
    bindRowCheck(*update, static_cast<int>(values.size() + 1));
    std::optional<RowCheck> written = stepWrite(*update, 1);
    if (!written || db.changes() != 1) throw Error(kRowChanged);
    rowCheck_ = written;
}

void PictureQuery::post() {
    if (state_ != DatasetState::Edit && state_ != DatasetState::Insert) {
        throw Error(storeMessage("Dataset not in edit or insert mode"));
    }
    if (state_ == DatasetState::Insert) {
        std::int64_t rowid = insertPending();
        rowids_.push_back(rowid);
        current_ = static_cast<int>(rowids_.size()) - 1;
    } else {
        try {
            updatePending();
        } catch (const Error& error) {
            // The row is gone or changed: posting again can never succeed, so the edit
            // is dropped and the row shown as it now is; the cursor stays usable.
            if (std::string(error.what()) != kRowChanged) throw;
            cancel();
            throw;
        }
    }
    pending_ = {};
    state_ = DatasetState::Browse;
    invalidateRow();
    atStart_ = atEnd_ = false;
    notify(nullptr);
}

void PictureQuery::cancel() {
    if (state_ != DatasetState::Edit && state_ != DatasetState::Insert) return;
    if (state_ == DatasetState::Insert) {
        int size = static_cast<int>(rowids_.size());
        current_ = size == 0 ? -1 : std::clamp(beforeInsert_, 0, size - 1);
    }
    pending_ = {};
    state_ = DatasetState::Browse;
    invalidateRow();
    atStart_ = atEnd_ = rowids_.empty();
    notify(nullptr);
}

void PictureQuery::remove() { removeCurrent(false); }

std::optional<TrashEntry> PictureQuery::removeCurrent(bool keepInTrash) {
    ensureOpen();
    if (state_ == DatasetState::Insert) {
        cancel();
        return std::nullopt;
    }
    if (rowids_.empty()) throw Error(storeMessage("Cannot perform this operation on an empty dataset"));

    std::optional<TrashEntry> kept;
    if (keepInTrash) {
        if (!rowCheck_ || rowCheck_->rowid != rowids_[static_cast<size_t>(current_)]) readRowCheck();
        try {
            kept = trashRow(*rowCheck_);
        } catch (const Error& error) {
            if (std::string(error.what()) == kRowChanged) invalidateRow();
            throw;
        }
    } else {
        SqlDatabase& db = connection_.database();
        // Kept while the query is open: emptying a file deletes its records one by one.
        if (!eraseStatement_) eraseStatement_ = db.prepare("DELETE FROM pictures WHERE " + rowCheckCondition(db));
        StatementReset reset{*eraseStatement_};
        bindRowCheck(*eraseStatement_, 1);
        stepWrite(*eraseStatement_, 0);
        if (db.changes() != 1) {
            // Nothing changes. Until the row is shown again, as it now is, every change of
            // it fails the same way: what was read still stands for it.
            invalidateRow();
            throw Error(kRowChanged);
        }
    }
    rowCheck_.reset();
    pending_ = {};
    state_ = DatasetState::Browse;
    forgetRow(current_);
    notify(nullptr);
    return kept;
}

void PictureQuery::forgetRow(int index) {
    rowids_.erase(rowids_.begin() + index);
    if (index < current_) --current_;
    current_ = std::min(current_, static_cast<int>(rowids_.size()) - 1);
    invalidateRow();
    atStart_ = atEnd_ = rowids_.empty();
}

int PictureQuery::columnIndex(const std::string& column) const {
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (equalsIgnoringCase(columns_[i], column)) return static_cast<int>(i);
    }
    return -1;
}

Field PictureQuery::fieldByName(const std::string& column) {
    int index = state_ == DatasetState::Closed ? -1 : columnIndex(column);
    if (index < 0) throw Error(storeMessage("Field '" + column + "' not found"));
    return Field(*this, index);
}

void PictureQuery::writeField(int column, FieldValue value, int notifications) {
    if (state_ != DatasetState::Edit && state_ != DatasetState::Insert) {
        throw Error(storeMessage("Dataset not in edit or insert mode"));
    }
    pending_.written[static_cast<size_t>(column)] = std::move(value);
    pending_.modified = true;
    Field field(*this, column);
    for (int i = 0; i < notifications; ++i) notify(&field);
}

void PictureQuery::invalidateRow() {
    rowLoaded_ = false;
    rowValues_.clear();
    deferred_.clear();
}

void PictureQuery::loadCurrentRow() {
    std::int64_t rowid = rowids_[static_cast<size_t>(current_)];
    rowValues_.assign(columns_.size(), FieldValue{});
    deferred_.assign(columns_.size(), nullptr);
    {
        StatementReset reset{*rowStatement_};
        rowStatement_->bind(1, keyValue(rowid));
        if (rowStatement_->step()) {
            // Two result columns per column: the value, and a blob's length (its bytes unread).
            int count = std::min(static_cast<int>(columns_.size()), rowStatement_->columnCount() / 2);
            for (int i = 0; i < count; ++i) {
                rowValues_[static_cast<size_t>(i)] = rowStatement_->value(2 * i);
                if (!rowStatement_->isNull(2 * i + 1)) {
                    deferred_[static_cast<size_t>(i)] = std::make_shared<DeferredCell>(
                        DeferredCell{static_cast<size_t>(rowStatement_->integer(2 * i + 1)), nullptr});
                }
            }
        }
        // A row another process removed reads as nulls: the snapshot keeps its place.
    }
    loadedRowid_ = rowid;
    rowLoaded_ = true;
    // What is shown is what an update or delete of this row will expect to find.
    try {
        readRowCheck();
    } catch (const Error&) {
        rowCheck_.reset();
    }
}

const FieldValue& PictureQuery::currentValue(int column) {
    if (!rowLoaded_ || loadedRowid_ != rowids_[static_cast<size_t>(current_)]) loadCurrentRow();
    if (deferred_[static_cast<size_t>(column)]) fetchDeferred(column);
    return rowValues_[static_cast<size_t>(column)];
}

int PictureQuery::displayRowCount() const {
    if (state_ == DatasetState::Closed) return 0;
    return static_cast<int>(rowids_.size()) + (state_ == DatasetState::Insert ? 1 : 0);
}

int PictureQuery::currentRow() const {
    if (state_ == DatasetState::Closed) return -1;
    if (state_ == DatasetState::Insert) return static_cast<int>(rowids_.size());
    return current_;
}

std::optional<std::string> PictureQuery::displayName(int row) {
    if (row < 0 || row >= displayRowCount()) return std::nullopt;
    if (row == currentRow()) {
        int column = columnIndex("filename");
        if (column < 0) return std::nullopt;
        Field field(*this, column);
        if (state_ != DatasetState::Browse || rowLoaded_) {
            if (field.isNull()) return std::nullopt;
            return field.asString();
        }
    }
    StatementReset reset{*nameStatement_};
    nameStatement_->bind(1, keyValue(rowids_[static_cast<size_t>(row)]));
    bool found = false;
    try {
        found = nameStatement_->step();
    } catch (const Error&) {
        // A row that cannot be read shows no name; the list stays usable.
    }
    if (!found || nameStatement_->isNull(0)) return std::nullopt;
    return nameStatement_->value(0).asString();
}

int PictureQuery::addChangeSink(ChangeSink sink, bool display) {
    int id = nextSinkId_++;
    Sink entry{id, display, std::move(sink), nullptr};
    // Displays stay ahead of handlers.
    auto at = display ? std::find_if(sinks_.begin(), sinks_.end(), [](const Sink& s) { return !s.display && s.change; })
                      : sinks_.end();
    sinks_.insert(at, std::move(entry));
    return id;
}

int PictureQuery::addCloseSink(CloseSink sink) {
    int id = nextSinkId_++;
    sinks_.push_back(Sink{id, true, nullptr, std::move(sink)});
    return id;
}

void PictureQuery::removeSink(int id) {
    std::erase_if(sinks_, [id](const Sink& s) { return s.id == id; });
}

void PictureQuery::notify(const Field* field) {
    ++notifications_;
    auto sinks = sinks_;
    for (auto& sink : sinks) {
        if (sink.change) sink.change(field);
    }
}

void PictureQuery::notifyClosed() {
    auto sinks = sinks_;
    for (auto& sink : sinks) {
        if (sink.close) sink.close();
    }
}

}  // namespace velmora
