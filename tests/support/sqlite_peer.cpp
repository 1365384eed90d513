#include "tests/support/sqlite_peer.h"

#include <stdexcept>

namespace velmora::test {

SqlitePeer::SqlitePeer(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::string message = sqlite3_errmsg(db_);
        sqlite3_close(db_);
        throw std::runtime_error(message);
    }
    sqlite3_busy_timeout(db_, 10000);
}

SqlitePeer::~SqlitePeer() { sqlite3_close(db_); }

void SqlitePeer::exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

std::int64_t SqlitePeer::integer(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        throw std::runtime_error(sqlite3_errmsg(db_));
    }
    std::int64_t value = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : 0;
    sqlite3_finalize(statement);
    return value;
}

std::vector<std::string> SqlitePeer::pictureRows() {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db_, "SELECT rowid, filename FROM pictures ORDER BY rowid", -1, &statement, nullptr);
    std::vector<std::string> rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
        rows.push_back(std::to_string(sqlite3_column_int64(statement, 0)) + ":" + (name ? name : "<null>"));
    }
    sqlite3_finalize(statement);
    return rows;
}

bool SqlitePeer::hasTable(const std::string& name) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db_, "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = ?1", -1, &statement,
                       nullptr);
    sqlite3_bind_text(statement, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    bool found = sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_int64(statement, 0) > 0;
    sqlite3_finalize(statement);
    return found;
}

}  // namespace velmora::test
