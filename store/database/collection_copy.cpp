#include "store/database/collection_copy.h"

#include <sqlite3.h>

#include <string>

#include "base/error.h"
#include "base/system_error.h"
#include "store/database/collection_copy_file.h"
#include "store/database/connection.h"
#include "store/database/untrusted_file.h"

namespace velmora {

namespace {

constexpr int kBusyTimeoutMs = 10000;

// Closes the handle when dropped.
struct Database {
    sqlite3* db = nullptr;
    ~Database() { sqlite3_close(db); }
};

[[noreturn]] void cannotCreate(const std::string& target, unsigned code) {
    throw Error(cannotCreateFileMessage(fullPathOf(target), code));
}

// Copies every page of source into the empty file at temporary, synced. Raises Error.
void copyPages(const std::string& source, const std::string& temporary) {
    Database from;
    if (int rc = sqlite3_open_v2(source.c_str(), &from.db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
        rc != SQLITE_OK) {
        throw Error(from.db ? sqlite3_errmsg(from.db) : sqlite3_errstr(rc));
    }
    applyUntrustedFileSettings(from.db);
    sqlite3_busy_timeout(from.db, kBusyTimeoutMs);
    Database to;
    if (int rc = sqlite3_open_v2(temporary.c_str(), &to.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        rc != SQLITE_OK) {
        throw Error(to.db ? sqlite3_errmsg(to.db) : sqlite3_errstr(rc));
    }
    applyUntrustedFileSettings(to.db);
    sqlite3_exec(to.db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(to.db, "main", from.db, "main");
    if (!backup) throw Error(sqlite3_errmsg(to.db));
    // All pages in one step: one read transaction, so a concurrent writer waits for it.
    int rc = sqlite3_backup_step(backup, -1);
    while (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        sqlite3_sleep(10);
        rc = sqlite3_backup_step(backup, -1);
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) throw Error(sqlite3_errstr(rc));
    if (sqlite3_errcode(to.db) != SQLITE_OK) throw Error(sqlite3_errmsg(to.db));
}

}  // namespace

void copyCollection(const std::string& source, const std::string& target) {
    if (fileExists(target)) cannotCreate(target, kErrorFileExists);
    const TemporaryFile temporary = createTemporaryBeside(target);
    if (temporary.error != 0) cannotCreate(target, temporary.error);
    try {
        copyPages(source, temporary.path);
    } catch (...) {
        removeFile(temporary.path);
        removeFile(temporary.path + "-journal");
        throw;
    }
    if (unsigned error = renameNoReplace(temporary.path, target)) {
        removeFile(temporary.path);
        cannotCreate(target, error);
    }
}

void deleteAllPictures(Connection& connection) {
    if (!connection.isOpen()) throw Error("Connection is closed");
    char* message = nullptr;
    if (sqlite3_exec(connection.handle(), "DELETE FROM pictures", nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errmsg(connection.handle());
        sqlite3_free(message);
        throw Error(text);
    }
}

}  // namespace velmora
