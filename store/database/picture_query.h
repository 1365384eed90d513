#pragma once
// The picture query: one statement, a static result set and a record cursor over the
// picture data file. The result set holds the rowids taken at opening (plus rows
// appended since, minus rows deleted since); names and picture bytes are read by
// rowid only when asked for. States, flags and the data-change notification follow
// the cursor rules the browser counts on:
//   - opening: first record current, at-start on, at-end on only when empty;
//   - a move that runs out of records sets that direction's flag, the record stays;
//   - a successful move, post and delete clear both flags (both on when empty);
//   - a move towards a flag already on does nothing and notifies nobody.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/deferred_bytes.h"
#include "store/database/field_value.h"
#include "store/database/picture_trash.h"


namespace velmora {

class Connection;
class PictureQuery;
class SqlCursor;
class SqlDatabase;

enum class DatasetState { Closed, Browse, Edit, Insert };

// A field of the current record, by column.
class Field {
public:
    Field(PictureQuery& query, int column) : query_(&query), column_(column) {}
    const std::string& name() const;
    // True when the value is null, or there is no current record; for a pending
    // written picture, true only when the written stream is empty.
    bool isNull() const;
    std::string asString() const;
    SharedBytes asBytes() const;  // the stored bytes (empty buffer for null)
    // The stored blob of the current record, to be read from its front now and whole
    // later, while its bytes have not been read yet; nullopt otherwise (then use
    // asBytes()).
    std::optional<DeferredBytes> deferredBytes() const;
    // Field writes: only in edit or insert state; each marks the record modified and
    // notifies (a picture write notifies twice).
    void setAsString(const std::string& text);
    void writeBytes(SharedBytes bytes);

private:
    PictureQuery* query_;
    int column_;
};

class PictureQuery {
public:
    // Receives the data-change notification (field: the written field, or null).
    using ChangeSink = std::function<void(const Field* field)>;
    // Receives the closing of the dataset (displays go blank; not a notification).
    using CloseSink = std::function<void()>;

    explicit PictureQuery(Connection& connection, std::string name = "ADOQuery1");
    ~PictureQuery();
    PictureQuery(const PictureQuery&) = delete;
    PictureQuery& operator=(const PictureQuery&) = delete;

    const std::string& name() const { return name_; }

    // Statement text. Setting it closes the query (no notification). Parameters,
    // when given, are bound in order to the statement's "?" places.
    void setSql(const std::string& text, std::vector<std::string> parameters = {});
    const std::string& sql() const { return sql_; }
    const std::vector<std::string>& parameters() const { return parameters_; }

    // Opens the connection when closed, runs the statement, first record current.
    // No effect when already open. On failure the query stays closed.
    void activate();
    void open() { activate(); }
    // Closes without notification, discarding a pending record.
    void close();
    // Runs the statement again in browse state, for what other clients changed. The
    // current record stays current where it still is, else the record after it is (as
    // after a delete); a flag stays on only where the position still gives it. Raises
    // the database's error and changes nothing when the statement fails. Notifies
    // nobody: the caller shows what changed.
    struct Refreshed {
        bool rows = false;     // the result set is another now
        bool current = false;  // another record is current, or its picture changed
    };
    Refreshed refresh();

    DatasetState state() const { return state_; }
    bool active() const { return state_ != DatasetState::Closed; }
    bool atStart() const { return atStart_; }
    bool atEnd() const { return atEnd_; }

    int recordCount() const;
    void next() { moveBy(1); }
    void prior() { moveBy(-1); }
    void moveBy(int distance);
    void first();
    void last();
    void edit();
    void append();
    void post();
    void cancel();
    void remove();  // delete

    // A stored row as the row checks see it: rowid, name and picture length. A write
    // aimed at it changes it only while the row is still so.
    struct RowIdentity {
        std::int64_t rowid = 0;
        FieldValue name;
        FieldValue pictureLength;
    };
    // The current record's identity, read when not known; nullopt without one.
    std::optional<RowIdentity> currentIdentity();

    // Delete, with the record kept in the trash (made when missing) in the same
    // transaction: the same cursor rules, notification and errors as remove(). Returns
    // the trash entry, or nullopt when it cancelled an insert instead.
    std::optional<TrashEntry> moveToTrash();
    // Moves a record of the result set that is still as `row` says to the trash; the
    // following record becomes current when it was current. Raises "Row cannot be
    // located..." and changes nothing when the row changed or is gone.
    TrashEntry moveRowToTrash(const RowIdentity& row);
    // Adds a trashed picture back, name and bytes as kept, as a new last record that
    // becomes current (as a post of an append), and takes it out of the trash in the
    // same transaction. With `expected`, only while the entry is still as it says.
    // Raises "Row cannot be located..." and changes nothing when the entry is gone.
    void restoreFromTrash(std::int64_t id, const std::optional<TrashEntry>& expected = std::nullopt);
    // Takes back a moveToTrash() whose entry is still as it says: the record comes back under
    // its former rowid (a new one if that was taken since) at `row` of the result set, current,
    // with neither flag set. Raises "Row cannot be located..." and changes nothing otherwise.
    void putBack(const TrashEntry& entry, int row);
    // Writes `name` into the row while it is still as `row` says; notifies. Returns the
    // row's new identity. Raises "Row cannot be located..." otherwise.
    RowIdentity renameRow(const RowIdentity& row, const FieldValue& name);

    // The field named (case-insensitive); raises "ADOQuery1: Field 'x' not found".
    Field fieldByName(const std::string& column);
    std::vector<std::string> fieldNames() const { return columns_; }

    // Rows the name list shows: the result set plus a record in insert state.
    int displayRowCount() const;
    // The current row of the list (-1 when none).
    int currentRow() const;
    // The name shown on a list row (pending text for the current edited row);
    // nullopt for a null value.
    std::optional<std::string> displayName(int row);

    // The data-change notification: displays first, then handlers, in the order added.
    int addChangeSink(ChangeSink sink, bool display);
    int addCloseSink(CloseSink sink);
    void removeSink(int id);

    // Count of notifications raised since opening the program; for tests.
    std::uint64_t notificationCount() const { return notifications_; }

    // Changes whenever what a record holds may have changed: the query reopened, a
    // write on this connection, or a commit by another process. Equal versions mean
    // that bytes read under the first still hold.
    struct DataVersion {
        std::uint64_t opened = 0;
        std::int64_t ownChanges = 0;
        std::int64_t fileVersion = 0;
        bool operator==(const DataVersion&) const = default;
    };
    DataVersion dataVersion() const;
    // The rowid of a record of the result set (row: its index).
    std::optional<std::int64_t> rowidAt(int row) const;
    // The blob of `column` in a record of the result set, read whole; null when the
    // record holds no blob there or cannot be read.
    SharedBytes blobAt(int row, const std::string& column);

private:
    friend class Field;
    struct Pending {
        std::vector<std::optional<FieldValue>> written;  // per column; nullopt = untouched
        bool modified = false;
    };

    void ensureOpen() const;
    std::vector<std::int64_t> readKeys(SqlDatabase& db) const;
    void browseCheck();
    void notify(const Field* field);
    void notifyClosed();
    void closeSilently();
    std::string storeMessage(const std::string& message) const;
    const FieldValue& currentValue(int column);
    bool currentIsNull(int column);
    void fetchDeferred(int column);
    void loadCurrentRow();
    void invalidateRow();
    int columnIndex(const std::string& column) const;
    void writeField(int column, FieldValue value, int notifications);
    std::int64_t insertPending();
    void updatePending();

    // What an update or delete expects of the current row (see kRowCheckCondition).
    using RowCheck = RowIdentity;
    std::optional<TrashEntry> removeCurrent(bool keepInTrash);
    TrashEntry trashRow(const RowIdentity& row);
    RowCheck insertFromTrash(std::int64_t id, const std::optional<TrashEntry>& expected, bool underFormerRowid);
    void showRestored(int row, const RowCheck& added);
    void forgetRow(int index);
    void readRowCheck();
    void bindRowCheck(SqlCursor& statement, int firstIndex);
    // Steps a write to its end; the row it returned (key and row check from
    // firstColumn), if any. Raises the database's error.
    std::optional<RowCheck> stepWrite(SqlCursor& statement, int firstColumn);

    Connection& connection_;
    std::string name_;
    std::string sql_ = "Select * from pictures";
    std::vector<std::string> parameters_;
    int connectionListener_ = 0;

    DatasetState state_ = DatasetState::Closed;
    bool atStart_ = true;
    bool atEnd_ = true;
    std::vector<std::int64_t> rowids_;
    int current_ = -1;         // index into rowids_, or -1
    int beforeInsert_ = -1;    // the record current before an insert
    std::vector<std::string> columns_;
    Pending pending_;

    // The current row's stored values, read by rowid on first use.
    std::int64_t loadedRowid_ = 0;
    bool rowLoaded_ = false;
    std::vector<FieldValue> rowValues_;
    // Per column: a blob not read yet (its value then stays null), else null. The
    // first whole read of it, by the query or by a deferred read, is kept in the cell,
    // so every reader of the loaded record shares the same bytes.
    struct DeferredCell {
        std::size_t size = 0;
        SharedBytes whole;
    };
    std::vector<std::shared_ptr<DeferredCell>> deferred_;
    std::shared_ptr<struct HandleLease> lease_;
    std::uint64_t opened_ = 0;

    std::unique_ptr<SqlCursor> rowStatement_;    // SELECT * FROM pictures WHERE rowid=?
    std::unique_ptr<SqlCursor> nameStatement_;   // SELECT filename FROM pictures WHERE rowid=?
    std::unique_ptr<SqlCursor> checkStatement_;  // the row check of a rowid
    std::unique_ptr<SqlCursor> eraseStatement_;  // the delete of the current row, once prepared
    std::optional<RowCheck> rowCheck_;

    struct Sink {
        int id;
        bool display;
        ChangeSink change;
        CloseSink close;
    };
    std::vector<Sink> sinks_;
    int nextSinkId_ = 1;
    std::uint64_t notifications_ = 0;
};

}  // namespace velmora
