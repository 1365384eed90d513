#include "store/database/connection.h"

#include <sqlite3.h>

#include <algorithm>

#include "base/error.h"
#include "store/database/network_share.h"
#include "store/database/server_address.h"
#include "store/database/server_database.h"
#include "store/database/sqlite_database.h"
#include "store/database/untrusted_file.h"

namespace velmora {

namespace {

constexpr int kBusyTimeoutMs = 10000;

std::string lowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

void execOrThrow(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw Error(text);
    }
}

}  // namespace

std::string dataSourceOf(const std::string& connectionString) {
    const std::string key = "data source=";
    std::string lower = lowerAscii(connectionString);
    size_t at = 0;
    // The key starts the string or follows a ';'.
    for (;;) {
        at = lower.find(key, at);
        if (at == std::string::npos) return {};
        if (at == 0 || lower[at - 1] == ';') break;
        at += key.size();
    }
    size_t begin = at + key.size();
    size_t end = connectionString.find(';', begin);
    return connectionString.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

Connection::Connection() = default;

Connection::~Connection() { close(); }

SqlDatabase& Connection::database() const {
    if (!database_) throw Error("Connection is closed");
    return *database_;
}

void Connection::setConnectionString(const std::string& text) {
    if (text == connectionString_) return;
    close();
    connectionString_ = text;
}

std::string Connection::dataSourcePath() const {
    std::string path = dataSourceOf(connectionString_);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool Connection::namesServer() const { return isServerAddress(dataSourceOf(connectionString_)); }

void Connection::open() {
    if (database_) return;
    // Never taken for a file name: SQLite would look for a file of that name.
    if (namesServer()) {
        database_ = openServerDatabase(dataSourceOf(connectionString_), password_);
        return;
    }
    std::string path = dataSourcePath();
    warnWhenOnNetworkShare(path);
    sqlite3* db = nullptr;
    // Never SQLITE_OPEN_CREATE: a missing file is an error, not a new database. A file
    // that cannot be written opens for reading; edits then fail with SQLite's text.
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        std::string text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        throw Error(text);
    }
    adopt(db);
}

void Connection::adopt(sqlite3* db) {
    if (database_) close();
    try {
        applyUntrustedFileSettings(db);
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        sqlite3_extended_result_codes(db, 0);
        // Reading the schema makes a file that is not a database fail here, at open.
        execOrThrow(db, "SELECT count(*) FROM sqlite_master");
        execOrThrow(db, "PRAGMA synchronous=FULL");
        // Some builds (Debian's) make every delete zero and journal each freed overflow
        // page, which makes removing pictures slow; FAST still erases in-page content
        // where that costs no extra I/O.
        execOrThrow(db, "PRAGMA secure_delete=FAST");
        // A damaged page is reported as malformed before its cells are used.
        execOrThrow(db, "PRAGMA cell_size_check=ON");
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    db_ = db;
    database_ = std::make_unique<SqliteDatabase>(db);
}

void Connection::adopt(std::unique_ptr<SqlDatabase> database) {
    close();
    database_ = std::move(database);
}

void Connection::close() {
    if (!database_) return;
    // Copy: a listener may unregister itself while being told.
    auto listeners = closeListeners_;
    for (auto& [id, listener] : listeners) listener();
    database_->rollbackQuietly();
    database_.reset();
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

void Connection::beginTransaction() { database().begin(true); }

void Connection::commit() { database().commit(); }

void Connection::rollback() {
    if (database_) database_->rollbackQuietly();
}

bool Connection::inTransaction() const { return database_ && database_->inTransaction(); }

int Connection::addCloseListener(std::function<void()> listener) {
    int id = nextListenerId_++;
    closeListeners_.emplace_back(id, std::move(listener));
    return id;
}

void Connection::removeCloseListener(int id) {
    std::erase_if(closeListeners_, [id](const auto& entry) { return entry.first == id; });
}

}  // namespace velmora
