#include "store/thumbnails/thumbnail_store.h"

#include <sqlite3.h>

#include <filesystem>
#include <system_error>

#include "base/utf8_path.h"
#include "store/database/sql_statement.h"

namespace velmora {

namespace {

// 'VlmT': a store of this program's, not another's file under the same name.
constexpr std::int64_t kApplicationId = 0x566C6D54;
constexpr std::int64_t kSchemaVersion = 1;

std::int64_t firstNumber(sqlite3* db, const char* sql) {
    SqlStatement statement(db, sql);
    return statement.step() ? statement.integer(0) : 0;
}

}  // namespace

CollectionStamp collectionStamp(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    CollectionStamp stamp;
    const fs::path full = fs::weakly_canonical(pathFromUtf8(path), error);
    stamp.path = error ? path : utf8Of(full);
    const std::uintmax_t size = fs::file_size(full, error);
    if (error) return stamp;
    const fs::file_time_type written = fs::last_write_time(full, error);
    if (error) return stamp;
    stamp.version = std::to_string(size) + ":" + std::to_string(written.time_since_epoch().count());
    return stamp;
}

ThumbnailStore::ThumbnailStore(std::string path, std::int64_t capBytes) : path_(std::move(path)), capBytes_(capBytes) {
    open();
}

ThumbnailStore::~ThumbnailStore() { sqlite3_close(db_); }

template <typename Operation>
bool ThumbnailStore::attempt(Operation&& operation) {
    if (!db_) return false;
    try {
        operation();
        return true;
    } catch (const std::exception&) {
        // Keeping is a help, never a condition: a full disk costs only it, and a store
        // found damaged is set aside for a new one.
        const int code = sqlite3_errcode(db_) & 0xFF;
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB) {
            setAside(".damaged");
            open();
        }
        return false;
    }
}

void ThumbnailStore::open() {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(pathFromUtf8(path_).parent_path(), error);
    for (int tries = 0; tries < 2 && !db_; ++tries) {
        if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            sqlite3_close(db_);
            db_ = nullptr;
            return;  // no folder, no rights: nothing is kept
        }
        sqlite3_busy_timeout(db_, 2000);
        try {
            // Each statement is done before the next: the journal mode changes only outside a read.
            const std::int64_t application = firstNumber(db_, "PRAGMA application_id");
            const bool empty = firstNumber(db_, "SELECT count(*) FROM sqlite_master") == 0;
            if (!empty && application != kApplicationId) {
                setAside(".other");
                continue;
            }
            makeSchema();
        } catch (const std::exception&) {
            setAside(".damaged");
        }
    }
}

void ThumbnailStore::setAside(const char* suffix) {
    sqlite3_close(db_);
    db_ = nullptr;
    std::error_code error;
    std::filesystem::rename(pathFromUtf8(path_), pathFromUtf8(path_ + suffix), error);
    for (const char* side : {"-wal", "-shm", "-journal"}) std::filesystem::remove(pathFromUtf8(path_ + side), error);
}

void ThumbnailStore::makeSchema() {
    execSql(db_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                 "PRAGMA application_id=" + std::to_string(kApplicationId) + ";"
                 "PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";"
                 "CREATE TABLE IF NOT EXISTS thumbnails(content BLOB NOT NULL, edge INTEGER NOT NULL, "
                 "jpeg BLOB NOT NULL, used INTEGER NOT NULL, UNIQUE(content, edge));"
                 "CREATE INDEX IF NOT EXISTS thumbnails_used ON thumbnails(used);"
                 "CREATE TABLE IF NOT EXISTS collection_rows(collection TEXT NOT NULL, row_id INTEGER NOT NULL, "
                 "stamp TEXT NOT NULL, content BLOB NOT NULL, PRIMARY KEY(collection, row_id));");
    SqlStatement totals(db_, "SELECT total(length(jpeg)), coalesce(max(used), 0) FROM thumbnails");
    if (totals.step()) {
        held_ = totals.integer(0);
        clock_ = totals.integer(1);
    }
}

std::optional<Sha256Digest> ThumbnailStore::rowContent(const CollectionStamp& stamp, std::int64_t rowid) {
    if (stamp.version.empty()) return std::nullopt;
    std::lock_guard lock(mutex_);
    std::optional<Sha256Digest> content;
    attempt([&] {
        SqlStatement find(db_, "SELECT content FROM collection_rows WHERE collection=?1 AND row_id=?2 AND stamp=?3");
        find.bind(1, stamp.path).bind(2, rowid).bind(3, stamp.version);
        if (!find.step()) return;
        const Bytes bytes = find.blob(0);
        if (bytes.size() != Sha256Digest{}.size()) return;
        content.emplace();
        std::copy(bytes.begin(), bytes.end(), content->begin());
    });
    return content;
}

void ThumbnailStore::rememberRow(const CollectionStamp& stamp, std::int64_t rowid, const Sha256Digest& content) {
    if (stamp.version.empty()) return;
    std::lock_guard lock(mutex_);
    attempt([&] {
        // Rows remembered under an older stamp can never be trusted again.
        if (stamp.version != lastStampVersion_ || stamp.path != lastStampPath_) {
            SqlStatement forget(db_, "DELETE FROM collection_rows WHERE collection=?1 AND stamp<>?2");
            forget.bind(1, stamp.path).bind(2, stamp.version).run();
            lastStampVersion_ = stamp.version;
            lastStampPath_ = stamp.path;
        }
        SqlStatement remember(db_, "INSERT OR REPLACE INTO collection_rows VALUES(?1, ?2, ?3, ?4)");
        remember.bind(1, stamp.path).bind(2, rowid).bind(3, stamp.version);
        remember.bindBlob(4, content.data(), content.size()).run();
    });
}

std::optional<Bytes> ThumbnailStore::thumbnail(const Sha256Digest& content, int edge) {
    std::lock_guard lock(mutex_);
    std::optional<Bytes> jpeg;
    attempt([&] {
        SqlStatement find(db_, "SELECT rowid, jpeg FROM thumbnails WHERE content=?1 AND edge=?2");
        find.bindBlob(1, content.data(), content.size()).bind(2, edge);
        if (!find.step()) return;
        const std::int64_t id = find.integer(0);
        jpeg = find.blob(1);
        find.reset();
        SqlStatement touch(db_, "UPDATE thumbnails SET used=?1 WHERE rowid=?2");
        touch.bind(1, ++clock_).bind(2, id).run();
    });
    return jpeg;
}

void ThumbnailStore::keep(const Sha256Digest& content, int edge, const Bytes& jpeg) {
    std::lock_guard lock(mutex_);
    attempt([&] {
        SqlStatement keep(db_, "INSERT OR REPLACE INTO thumbnails(content, edge, jpeg, used) VALUES(?1, ?2, ?3, ?4)");
        keep.bindBlob(1, content.data(), content.size()).bind(2, edge);
        keep.bindBlob(3, jpeg.data(), jpeg.size()).bind(4, ++clock_).run();
        held_ += static_cast<std::int64_t>(jpeg.size());
        if (held_ > capBytes_) evict();
    });
}

void ThumbnailStore::evict() {
    // Down to nine tenths of the cap, so that not every new thumbnail evicts one.
    execSql(db_, "BEGIN IMMEDIATE");
    SqlStatement oldest(db_, "SELECT rowid, length(jpeg) FROM thumbnails ORDER BY used");
    SqlStatement drop(db_, "DELETE FROM thumbnails WHERE rowid=?1");
    std::int64_t held = 0;
    {
        SqlStatement total(db_, "SELECT total(length(jpeg)) FROM thumbnails");
        if (total.step()) held = total.integer(0);
    }
    while (held > capBytes_ / 10 * 9 && oldest.step()) {
        drop.bind(1, oldest.integer(0)).run();
        drop.reset();
        held -= oldest.integer(1);
    }
    oldest.reset();
    execSql(db_, "COMMIT");
    held_ = held;
}

std::int64_t ThumbnailStore::heldBytes() {
    std::lock_guard lock(mutex_);
    return held_;
}

}  // namespace velmora
