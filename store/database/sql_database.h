#pragma once
// The database under the store's collection code: a picture data file (SQLite) or a
// database on a server (PostgreSQL), behind one small interface. Statements are written
// with "?" or "?N" places; what differs between the two (the key that names a row, how
// two values compare with nulls equal, the schema checks, giving space back) is asked of
// the database itself.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "store/database/field_value.h"

namespace velmora {

struct TableContract;

// A prepared statement. Errors are raised with the database's own text.
class SqlCursor {
public:
    virtual ~SqlCursor() = default;
    // Raises the database's reason when the value cannot be bound (one over the length limit).
    virtual void bind(int index, const FieldValue& value) = 0;
    virtual void clearBindings() = 0;
    // True while a row is there; false when done.
    virtual bool step() = 0;
    // Ready to step again from the start, with the same bindings.
    virtual void reset() = 0;
    virtual int columnCount() const = 0;
    virtual std::string columnName(int column) const = 0;
    // The current row's value, typed as stored.
    virtual FieldValue value(int column) const = 0;
    virtual bool isNull(int column) const = 0;
    virtual std::int64_t integer(int column) const = 0;
};

// One stored value, read from its front without reading the rest.
class SqlBlob {
public:
    virtual ~SqlBlob() = default;
    virtual std::size_t size() const = 0;
    // The first `count` bytes (count <= size()). Raises Error when reading fails.
    virtual Bytes readFront(std::size_t count) = 0;
};

// A column of a table as its definition declares it.
struct TableColumn {
    std::string name;
    std::string type;      // upper case
    int keyPosition = 0;   // its place in the primary key, 0 outside it
    bool hidden = false;   // generated, or otherwise not stored as written
};

class SqlDatabase {
public:
    virtual ~SqlDatabase() = default;

    // The column that names a row of `pictures` for good: "rowid" on a file.
    virtual const char* keyColumn() const = 0;
    // The comparison that takes two nulls as equal: "IS" on a file.
    virtual const char* sameAs() const = 0;
    // Whether this is a database on a server (whose own tables are declared with types).
    virtual bool onServer() const = 0;
    // An expression for the time now, in whole seconds since 1970.
    virtual std::string nowSeconds() const = 0;
    // A condition true where `expression` holds bytes (a blob), not text, a number or null.
    virtual std::string holdsBytes(const std::string& expression) const = 0;
    // "SELECT ... FROM pictures WHERE <key>=?1" over `columns`, two result columns per
    // column: the value (null for bytes, which are not read) and, for bytes, their length.
    virtual std::string rowDeferringBytes(const std::vector<std::string>& columns) = 0;

    virtual std::unique_ptr<SqlCursor> prepare(const std::string& sql) = 0;
    // Runs statements that return nothing.
    virtual void exec(const std::string& sql) = 0;
    // Rows the latest write changed; rows all writes of this connection changed.
    virtual std::int64_t changes() const = 0;
    virtual std::int64_t totalChanges() const = 0;
    // Changes when another connection committed since the last look.
    virtual std::int64_t dataVersion() = 0;
    // Where news of other clients' changes arrives: a socket to watch, -1 for none (a
    // file, which is looked at again when its query is opened again).
    virtual int changeSocket() const { return -1; }
    // Reads that news without waiting; true when another client may have changed the
    // collection since the last call.
    virtual bool othersChanged() { return false; }
    // A transaction; forWriting takes the write lock at once where that is asked for.
    virtual void begin(bool forWriting) = 0;
    virtual void commit() = 0;
    virtual bool inTransaction() const = 0;
    // Ends an open transaction without keeping it; never raises.
    virtual void rollbackQuietly() noexcept = 0;
    // Whether writes are refused (a read-only file, say).
    virtual bool readOnly() = 0;

    // Whether the database holds a table of that name (any case).
    virtual bool hasTable(const std::string& name) = 0;
    virtual std::vector<TableColumn> columnsOf(const std::string& table) = 0;
    // Raises Error, saying what is wrong, when `pictures` may run code of the
    // database's own on its rows, or a table of the program's breaks its contract.
    virtual void requirePlainPictures() = 0;
    virtual void requireContract(const TableContract& contract) = 0;

    // `column` of the row of `table` whose key is `key`, to be read from the front.
    // Raises Error when the row is gone or the value is not bytes or text.
    virtual std::unique_ptr<SqlBlob> openBlob(const std::string& table, const std::string& column, std::int64_t key) = 0;

    // Has later deletes overwrite what they free, so that nothing deleted can be read back.
    virtual void eraseFreedSpace() = 0;
    // Gives the space deleted rows held back, keeping every key. Not within a transaction.
    virtual void giveSpaceBack() = 0;
};

}  // namespace velmora
