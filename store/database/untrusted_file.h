#pragma once
// Settings for SQLite connections to picture data files. A .vlm file is a document
// people exchange, so its schema is never trusted: nothing in it may run code of
// its own (triggers, views, functions in the schema) or make SQLite allocate
// without bound.

#include <string>
#include <vector>

struct sqlite3;

namespace velmora {

// Pictures are a few MB; anything declared larger than this is refused by SQLite
// before it allocates ("string or blob too big").
constexpr int kMaxValueBytes = 512 * 1024 * 1024;

// SQLite's whole heap in this process. The largest need of a legitimate file is an
// edit of a row holding a value at the limit above: the old row is read (one value)
// and the new record is built (another), 1026 MB measured for a 512 MB picture. Twice
// that leaves room for the page cache and a second connection, and still stops a file
// that declares many large values in one row before it takes the machine's memory:
// SQLite then fails the statement with "out of memory".
constexpr long long kSqliteHeapLimit = 4LL * kMaxValueBytes;

// Sets the limit above, once per process; later calls leave any limit in place.
void limitSqliteHeap();

// A lower heap limit while it lives, for runs that must stay small (the fuzz target,
// tests of what happens at the limit); the program's own limit is set first and put
// back at the end.
class ScopedSqliteHeapLimit {
public:
    explicit ScopedSqliteHeapLimit(long long bytes);
    ~ScopedSqliteHeapLimit();
    ScopedSqliteHeapLimit(const ScopedSqliteHeapLimit&) = delete;
    ScopedSqliteHeapLimit& operator=(const ScopedSqliteHeapLimit&) = delete;

private:
    long long previous_;
};

// Limits SQLite's heap as above, turns on SQLite's defensive mode, turns off the
// trusted schema, triggers and views, and limits value lengths. Raises Error when the library refuses a setting.
void applyUntrustedFileSettings(sqlite3* db);

// Requires `pictures` in the main schema to be a plain rowid table: no triggers, and no
// schema expression that runs on its rows (generated columns, CHECK constraints,
// defaults other than plain values, indexes on expressions or with a WHERE clause).
// A missing table is left to the statement that names it ("no such table").
// Raises Error with a message that says what is wrong otherwise.
void requirePlainPictureTable(sqlite3* db);
// The same for any table the program reads or writes.
void requirePlainTable(sqlite3* db, const std::string& table);
// For a table the program never reads or writes, only has SQLite check: nothing that
// SQLite's integrity check evaluates on each row (generated columns, CHECK constraints,
// indexes on expressions or with a WHERE clause). `table` may be any name the file holds.
void requireInertTable(sqlite3* db, const std::string& table);

// A column the program names in a table of its own, as the program declares it.
struct ColumnContract {
    std::string name;
    std::string type;     // the declared type exactly ("" for none), compared without regard to case
    int keyPosition = 0;  // its place in the primary key, 0 outside it
    std::string serverType = {};  // on a server, its type as format_type() gives it, upper case
};

// What a table of the program's own must be when another program may have made it:
// plain as above, each named column there with its declared type and place in the key
// (an INTEGER key the rowid itself), no unique index besides the key (an INSERT OR
// REPLACE, or a conflict clause of the table's own, would delete other rows), and
// nothing else that makes a write change more or fewer rows than it names.
struct TableContract {
    std::string table;
    std::vector<ColumnContract> columns;
    // A definition this program wrote in an earlier version, accepted as written
    // (its CHECK compares the key with a constant).
    std::string formerDefinition;
};

// Raises Error, saying what is wrong, when the file's table breaks the contract. A
// missing table is left to the caller.
void requireTableContract(sqlite3* db, const TableContract& contract);

}  // namespace velmora
