#include "store/database/picture_digests.h"

#include <sqlite3.h>

#include <vector>

#include "base/error.h"
#include "store/database/connection.h"
#include "store/database/sha256.h"
#include "store/database/sql_statement.h"
#include "store/database/untrusted_file.h"

namespace velmora {

namespace {

bool hasDigestTable(sqlite3* db) { return hasTable(db, kDigestTable); }

// Makes the table when missing; false when the file cannot take it (read-only, busy).
bool readyForWriting(sqlite3* db) {
    if (sqlite3_db_readonly(db, "main") == 1) return false;
    try {
        if (!hasDigestTable(db)) {
            execSql(db, std::string("CREATE TABLE IF NOT EXISTS ") + kDigestTable +
                            " (picture_rowid INTEGER PRIMARY KEY, filename, length INTEGER, sha256 BLOB)");
        }
        return true;
    } catch (const Error&) {
        return false;
    }
}

// Stores a digest for the row as it is now (the name copied from the row itself, so it
// compares exactly). Failing to keep it only means hashing again next time.
void storeDigest(sqlite3* db, std::int64_t rowid, std::int64_t length, const Sha256Digest& digest) {
    try {
        SqlStatement store(db, std::string("INSERT OR REPLACE INTO ") + kDigestTable +
                                   " (picture_rowid, filename, length, sha256) "
                                   "SELECT rowid, filename, ?2, ?3 FROM pictures WHERE rowid = ?1 AND length(picture) = ?2");
        store.bind(1, rowid).bind(2, length).bindBlob(3, digest.data(), digest.size());
        store.run();
    } catch (const Error&) {
    }
}

// Commits the digests taken; a file that refuses them is only hashed again next time.
void finish(std::optional<Savepoint>& keeping) {
    if (!keeping) return;
    try {
        keeping->commit();
    } catch (const Error&) {
    }
}

struct Candidate {
    std::int64_t rowid;
    std::string name;
    bool fresh;     // a digest that still describes the row
    Bytes digest;
};

}  // namespace

std::optional<StoredDuplicate> findStoredDuplicate(Connection& connection, const Bytes& bytes) {
    if (!connection.isOpen()) throw Error("Connection is closed");
    sqlite3* db = connection.handle();
    const auto length = static_cast<std::int64_t>(bytes.size());
    const bool writable = readyForWriting(db);
    const bool haveTable = writable || hasDigestTable(db);
    if (haveTable) requirePlainTable(db, kDigestTable);

    // length() of a blob comes from the record header: pictures of other lengths are
    // passed over without reading their bytes.
    std::vector<Candidate> candidates;
    {
        const std::string digestColumns =
            haveTable ? std::string("d.sha256, d.filename IS p.filename AND d.length = ?1 FROM pictures AS p LEFT JOIN ") +
                            kDigestTable + " AS d ON d.picture_rowid = p.rowid"
                      : std::string("NULL, 0 FROM pictures AS p");
        SqlStatement same(db, "SELECT p.rowid, CAST(p.filename AS TEXT), " + digestColumns +
                                  " WHERE length(p.picture) = ?1 AND typeof(p.picture) = 'blob' ORDER BY p.rowid");
        same.bind(1, length);
        while (same.step()) {
            candidates.push_back({same.integer(0), same.text(1), same.integer(3) == 1, same.blob(2)});
        }
    }
    if (candidates.empty()) return std::nullopt;

    const Sha256Digest wanted = sha256(bytes.data(), bytes.size());
    // The digests taken are kept in one transaction, not one commit each.
    std::optional<Savepoint> keeping;
    if (writable) {
        try {
            keeping.emplace(db, "velmora_digests");
        } catch (const Error&) {
        }
    }
    const Bytes wantedBytes(wanted.begin(), wanted.end());
    for (const Candidate& candidate : candidates) {
        Bytes digest = candidate.digest;
        if (!candidate.fresh || digest.size() != wanted.size()) {
            SqlStatement read(db, "SELECT picture FROM pictures WHERE rowid = ?1");
            read.bind(1, candidate.rowid);
            if (!read.step()) continue;
            const Bytes stored = read.blob(0);
            const Sha256Digest taken = sha256(stored.data(), stored.size());
            digest.assign(taken.begin(), taken.end());
            if (keeping) storeDigest(db, candidate.rowid, static_cast<std::int64_t>(stored.size()), taken);
        }
        if (digest == wantedBytes) {
            finish(keeping);
            return StoredDuplicate{candidate.rowid, candidate.name};
        }
    }
    finish(keeping);
    return std::nullopt;
}

void rememberDigest(Connection& connection, std::int64_t rowid, const Bytes& bytes) {
    if (!connection.isOpen()) return;
    sqlite3* db = connection.handle();
    if (!readyForWriting(db)) return;
    storeDigest(db, rowid, static_cast<std::int64_t>(bytes.size()), sha256(bytes.data(), bytes.size()));
}

}  // namespace velmora
