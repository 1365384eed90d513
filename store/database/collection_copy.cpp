#include "store/database/collection_copy.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/system_error.h"
#include "base/wait_text.h"
#include "store/database/collection_copy_file.h"
#include "store/database/connection.h"
#include "store/database/picture_trash.h"
#include "store/database/sql_statement.h"
#include "store/database/untrusted_file.h"

namespace velmora {

namespace {

constexpr std::chrono::milliseconds kBusyTimeout = std::chrono::seconds(10);

// Closes the handle when dropped.
struct Database {
    sqlite3* db = nullptr;
    ~Database() { sqlite3_close(db); }
};

[[noreturn]] void cannotCreate(const std::string& target, unsigned code) {
    throw Error(cannotCreateFileMessage(fullPathOf(target), code));
}

[[noreturn]] void raiseCode(int rc) { throw Error(sqlite3_errstr(rc)); }

[[noreturn]] void raiseLocked(const std::string& source, std::chrono::milliseconds wait) {
    throw Error(fullPathOf(source) + " is locked: another program kept writing to it for " + waitText(wait) +
                ", and nothing was copied");
}

sqlite3_file* fileOf(sqlite3* db) {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file || !file->pMethods) {
        return nullptr;
    }
    return file;
}

// Copies the source's bytes as they stand under a read transaction, which keeps every
// writer out of the file meanwhile, in large pieces through SQLite's own file handles
// (no second handle on the source, whose closing would drop SQLite's locks). False
// when the file is in WAL mode: its latest pages may sit in the -wal file, so the
// backup API copies those page by page.
bool copyWholeFile(sqlite3* from, sqlite3* to, const std::string& temporary) {
    if (int rc = sqlite3_exec(from, "BEGIN; SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
        rc != SQLITE_OK) {
        sqlite3_exec(from, "ROLLBACK", nullptr, nullptr, nullptr);
        throw Error(sqlite3_errmsg(from));
    }
    struct EndRead {
        sqlite3* db;
        ~EndRead() { sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr); }
    } endRead{from};
    sqlite3_stmt* mode = nullptr;
    bool wal = false;
    if (sqlite3_prepare_v2(from, "PRAGMA journal_mode", -1, &mode, nullptr) == SQLITE_OK && sqlite3_step(mode) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(mode, 0));
        wal = text && std::string(text) == "wal";
    }
    sqlite3_finalize(mode);
    sqlite3_file* in = fileOf(from);
    sqlite3_file* out = fileOf(to);
    if (wal || !in || !out) return false;

    sqlite3_int64 size = 0;
    if (int rc = in->pMethods->xFileSize(in, &size); rc != SQLITE_OK) raiseCode(rc);
    // The largest page there is: SQLite's file layer writes no more at once.
    constexpr sqlite3_int64 kPiece = 65536;
    // Written to disk in the background every 8 MiB, beside the copying.
    constexpr sqlite3_int64 kWriteback = 8 << 20;
    EarlyWriteback writeback(temporary);
    std::vector<unsigned char> piece(static_cast<std::size_t>(std::min(size, kPiece)));
    for (sqlite3_int64 offset = 0; offset < size; offset += kPiece) {
        const int length = static_cast<int>(std::min(kPiece, size - offset));
        if (int rc = in->pMethods->xRead(in, piece.data(), length, offset); rc != SQLITE_OK) raiseCode(rc);
        if (int rc = out->pMethods->xWrite(out, piece.data(), length, offset); rc != SQLITE_OK) raiseCode(rc);
        const sqlite3_int64 end = offset + length;
        if (end % kWriteback == 0) writeback.written(end - kWriteback, kWriteback);
    }
    if (int rc = out->pMethods->xSync(out, SQLITE_SYNC_FULL); rc != SQLITE_OK) raiseCode(rc);
    return true;
}

enum class CopyWay { WholeFile, BackupApi };

// Copies every page of source into the empty file at temporary, synced, waiting at most
// `wait` for a writer to let go of source. Raises Error.
void copyPages(const std::string& source, const std::string& temporary, CopyWay way,
               std::chrono::milliseconds wait) {
    Database from;
    if (int rc = sqlite3_open_v2(source.c_str(), &from.db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
        rc != SQLITE_OK) {
        throw Error(from.db ? sqlite3_errmsg(from.db) : sqlite3_errstr(rc));
    }
    applyUntrustedFileSettings(from.db);
    sqlite3_busy_timeout(from.db, static_cast<int>(wait.count()));
    Database to;
    if (int rc = sqlite3_open_v2(temporary.c_str(), &to.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        rc != SQLITE_OK) {
        throw Error(to.db ? sqlite3_errmsg(to.db) : sqlite3_errstr(rc));
    }
    applyUntrustedFileSettings(to.db);
    sqlite3_exec(to.db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    if (way == CopyWay::WholeFile && copyWholeFile(from.db, to.db, temporary)) return;
    sqlite3_backup* backup = sqlite3_backup_init(to.db, "main", from.db, "main");
    if (!backup) throw Error(sqlite3_errmsg(to.db));
    // All pages in one step: one read transaction, so a concurrent writer waits for it.
    // The busy handler waits for a writer first; retries cover what it does not.
    const auto deadline = std::chrono::steady_clock::now() + wait;
    int rc = sqlite3_backup_step(backup, -1);
    while ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && std::chrono::steady_clock::now() < deadline) {
        sqlite3_sleep(10);
        rc = sqlite3_backup_step(backup, -1);
    }
    sqlite3_backup_finish(backup);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) raiseLocked(source, wait);
    if (rc != SQLITE_DONE) throw Error(sqlite3_errstr(rc));
    if (sqlite3_errcode(to.db) != SQLITE_OK) throw Error(sqlite3_errmsg(to.db));
}

bool hasPicturesTable(sqlite3* db) {
    SqlStatement table(db, "SELECT 1 FROM main.sqlite_schema WHERE type = 'table' AND name = 'pictures' "
                           "COLLATE NOCASE AND sql NOT LIKE 'CREATE VIRTUAL%'");
    return table.step();
}

// Rewrites the complete copy at temporary so that it holds no byte of what the source
// had deleted (an emptied trash, freed pages). Only the copy is written.
void wipeCopy(const std::string& temporary) {
    Database copy;
    if (int rc = sqlite3_open_v2(temporary.c_str(), &copy.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        rc != SQLITE_OK) {
        throw Error(copy.db ? sqlite3_errmsg(copy.db) : sqlite3_errstr(rc));
    }
    applyUntrustedFileSettings(copy.db);
    execSql(copy.db, "PRAGMA synchronous=FULL");
    if (hasPicturesTable(copy.db)) {
        vacuumKeepingRowids(copy.db);
    } else {
        vacuumFile(copy.db);
    }
}

}  // namespace

static void copyCollectionBy(const std::string& source, const std::string& target, CopyWay way,
                             std::chrono::milliseconds wait, bool wipe = false) {
    if (fileExists(target)) cannotCreate(target, kErrorFileExists);
    removeLeftoverCopies(target);
    // Removed with its journal on every way out but the rename.
    TemporaryCopy temporary(target);
    if (temporary.error() != 0) cannotCreate(target, temporary.error());
    copyPages(source, temporary.path(), way, wait);
    if (wipe) wipeCopy(temporary.path());
    if (unsigned error = temporary.giveName(target)) cannotCreate(target, error);
}

void copyCollection(const std::string& source, const std::string& target) {
    copyCollectionBy(source, target, CopyWay::WholeFile, kBusyTimeout);
}

void backupCollection(const std::string& source, const std::string& target, std::chrono::milliseconds lockWait) {
    copyCollectionBy(source, target, CopyWay::BackupApi, lockWait, true);
}

void wipeNewCollection(Connection& connection, const std::string& path) {
    try {
        vacuumFile(connection.handle());
    } catch (const Error& error) {
        throw Error(fullPathOf(path) + " was not created: the space its deleted pictures held could not be cleared (" +
                    error.what() + ")");
    }
}

void discardNewCollection(Connection& connection, const std::string& path) {
    connection.close();
    removeFileAndJournal(path);
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
