#include "store/thumbnails/collection_pictures.h"

#include <sqlite3.h>

#include "base/error.h"
#include "store/database/blob_reader.h"
#include "store/database/untrusted_file.h"

namespace velmora {

CollectionPictures::CollectionPictures(const std::string& path) {
    const int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    try {
        if (rc != SQLITE_OK) throw Error(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
        applyUntrustedFileSettings(db_);
        sqlite3_busy_timeout(db_, 5000);
        requirePlainPictureTable(db_);
    } catch (...) {
        sqlite3_close(db_);
        throw;
    }
}

CollectionPictures::~CollectionPictures() { sqlite3_close(db_); }

SharedBytes CollectionPictures::picture(std::int64_t rowid) {
    BlobReader reader(db_, "pictures", "picture", rowid);
    return shareBytes(reader.readFront(reader.size()));
}

}  // namespace velmora

namespace velmora {

std::string collectionFilePath(sqlite3* db) {
    const char* path = db ? sqlite3_db_filename(db, "main") : nullptr;
    return path ? path : "";
}

}  // namespace velmora
