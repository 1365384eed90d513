#pragma once
// A collection as the command line adds to it and copies it, a picture data file or a
// database on a PostgreSQL server alike: the table `pictures` with `filename` and
// `picture` and whatever columns other programs added, rows in the collection's order
// (a file's rowids, a server table's key column). Names come first; a picture's bytes
// only when asked for.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "store/database/field_value.h"

namespace velmora {

// What a column holds, as far as carrying it to another kind of store needs to know.
enum class ColumnKind { Integer, Real, Text, Bytes };

struct StoredColumn {
    std::string name;
    ColumnKind kind = ColumnKind::Text;
};

struct OwnTable;

// A row of `pictures` with its key; a row of one of the program's own tables (the trash,
// digests, rotation marks: own_tables.h) in the columns its contract names.
using TakePictureRow = std::function<void(std::int64_t key, const std::vector<FieldValue>& values)>;
using TakeKeptRow = std::function<void(const OwnTable& table, const std::vector<FieldValue>& values)>;

struct StoredName {
    std::int64_t key = 0;
    std::optional<std::string> name;  // nullopt for a null name
};

class CollectionStore {
public:
    virtual ~CollectionStore() = default;

    // The file's path, or the server address without a password.
    virtual std::string title() const = 0;
    // Every picture's key and name, in order; no picture bytes are read.
    virtual std::vector<StoredName> names() = 0;
    // One picture's stored bytes (an empty buffer for null); null when the row is gone.
    virtual SharedBytes picture(std::int64_t key) = 0;
    // The name of the first picture, in order, whose stored bytes are these.
    virtual std::optional<std::string> storedCopyOf(const SharedBytes& bytes) = 0;
    // Adds a record holding name and picture, committed when this returns.
    virtual void add(const std::string& name, const SharedBytes& bytes) = 0;

    // The columns of `pictures`, in table order (a server's key column left out).
    virtual std::vector<StoredColumn> columns() = 0;
    // Every row of `pictures` in order, with its values in those columns, then, when
    // takeKept is given, every row of the program's own tables the collection holds, all
    // read under one snapshot. A kept table that breaks its contract raises Error (a
    // digest table is passed over: digests are hints).
    virtual void walk(const TakePictureRow& takePicture, const TakeKeptRow& takeKept) = 0;
    void eachRow(const std::function<void(const std::vector<FieldValue>&)>& take) {
        walk([&](std::int64_t, const std::vector<FieldValue>& values) { take(values); }, nullptr);
    }
};

// A new collection being filled by a copy: nothing of it is seen, and nothing is left,
// unless finish() returns. Dropped before that, it removes whatever it made.
class NewCollection {
public:
    virtual ~NewCollection() = default;
    // Adds a row of `pictures`; returns the key the new collection gave it.
    virtual std::int64_t insert(const std::vector<FieldValue>& values) = 0;
    // Adds a row to one of the program's own tables, made the first time; keys that
    // name a picture must be the new collection's already.
    virtual void insertKept(const OwnTable& table, const std::vector<FieldValue>& values) = 0;
    virtual void finish() = 0;
};

// The file collection at path (opened as the window opens it; never created). Raises
// Error with SQLite's text, or the table check's, when it cannot be used.
std::unique_ptr<CollectionStore> openCollectionFile(const std::string& path);

// A new collection file at path, which must not exist, with `pictures` of these columns.
std::unique_ptr<NewCollection> startCollectionFile(const std::string& path, const std::vector<StoredColumn>& columns);

}  // namespace velmora
