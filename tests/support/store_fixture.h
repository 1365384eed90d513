#pragma once
// Builds picture data files in a temporary folder and opens them through the store,
// counting the data-change notifications the query raises.

#include <functional>
#include <string>
#include <vector>

#include "store/database/collection_file.h"
#include "store/database/connection.h"
#include "store/database/picture_query.h"
#include "tests/support/temp_dir.h"

namespace velmora::test {

// "Provider=...;Data Source=<path>;Persist Security Info=False".
std::string connectionStringFor(const std::string& path);

// Records named by `names`, each with a small distinct byte string as its picture.
std::vector<CollectionRecord> namedRecords(const std::vector<std::string>& names);

// Records made from generated pictures: name i gets a width x height picture.
std::vector<CollectionRecord> pictureRecords(const std::vector<std::string>& names, int width = 320,
                                                    int height = 240);

// Names of every record in a file, in rowid order, read with plain SQLite.
std::vector<std::string> namesInFile(const std::string& path);
// The bytes of the `picture` column of every record, in rowid order.
std::vector<Bytes> picturesInFile(const std::string& path);

// The answer of PRAGMA integrity_check ("ok" for a sound file).
std::string integrityOf(const std::string& path);

// What a failing action raised ("<no error>" when it did not).
std::string messageOf(const std::function<void()>& action);

struct OpenStore {
    explicit OpenStore(const std::string& path);
    ~OpenStore();
    Connection connection;
    PictureQuery query{connection};
    int notifications = 0;
    int sinkId = 0;

    // The current record's filename, "" when null or none.
    std::string current();
};

}  // namespace velmora::test
