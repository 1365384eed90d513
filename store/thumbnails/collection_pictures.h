#pragma once
// A picture data file opened read-only for one thread of the thumbnail maker: it reads
// pictures by rowid beside the window's own connection, and can never write.

#include <cstdint>
#include <string>

#include "base/bytes.h"

struct sqlite3;

namespace velmora {

class CollectionPictures {
public:
    // Raises Error with SQLite's text when the file does not open as a database.
    explicit CollectionPictures(const std::string& path);
    ~CollectionPictures();
    CollectionPictures(const CollectionPictures&) = delete;
    CollectionPictures& operator=(const CollectionPictures&) = delete;

    // The stored `picture` of the row; raises Error when the row is gone or holds no blob.
    SharedBytes picture(std::int64_t rowid);

private:
    sqlite3* db_ = nullptr;
};

}  // namespace velmora

namespace velmora {

// The full path of the file an open connection reads ("" for one held in memory).
std::string collectionFilePath(sqlite3* db);

}  // namespace velmora
