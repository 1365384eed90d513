#include "store/database/picture_digests.h"

#include <vector>

#include "base/error.h"
#include "store/database/connection.h"
#include "store/database/sha256.h"
#include "store/database/sql_statement.h"
#include "store/database/own_tables.h"

namespace velmora {

namespace {

// A digest table another program made that breaks its contract is passed over like a
// missing one, neither read nor written: digests are only a hint.
bool hasDigestTable(SqlDatabase& db) {
    try {
        return hasCheckedTable(db, kDigestTable);
    } catch (const Error&) {
        return false;
    }
}

// Makes the table when missing; false when the file cannot take it (read-only, busy,
// a table of that name that breaks the contract).
bool readyForWriting(SqlDatabase& db) {
    if (db.readOnly()) return false;
    try {
        ensureOwnTable(db, kDigestTable);
        return true;
    } catch (const Error&) {
        return false;
    }
}

// Stores a digest for the row as it is now (the name copied from the row itself, so it
// compares exactly). Failing to keep it only means hashing again next time: under a
// savepoint of its own, since a server ends the whole transaction at a failed statement,
// which would lose the write of the command it belongs to.
void storeDigest(SqlDatabase& db, std::int64_t rowid, std::int64_t length, const Sha256Digest& digest) {
    try {
        Savepoint own(db, "velmora_digest");
        const std::string key = db.keyColumn();
        SqlStatement store(db, std::string("INSERT INTO ") + kDigestTable +
                                   " (picture_rowid, filename, length, sha256) SELECT " + key + ", filename, ?2, ?3 "
                                   "FROM pictures WHERE " + key + " = ?1 AND length(picture) = ?2 "
                                   "ON CONFLICT (picture_rowid) DO UPDATE SET filename = excluded.filename, "
                                   "length = excluded.length, sha256 = excluded.sha256");
        store.bind(1, rowid).bind(2, length).bindBlob(3, digest.data(), digest.size());
        store.run();
        own.commit();
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

bool PictureLengths::current(SqlDatabase& db) const {
    return valid_ && &db == db_ && db.dataVersion() == dataVersion_ && db.totalChanges() == ownChanges_;
}

void PictureLengths::settle(SqlDatabase& db) {
    db_ = &db;
    dataVersion_ = db.dataVersion();
    ownChanges_ = db.totalChanges();
    valid_ = true;
}

std::vector<std::int64_t> PictureLengths::rowidsOfLength(SqlDatabase& db, std::int64_t length) {
    if (!current(db)) {
        rowids_.clear();
        // length() of a blob comes from the record header: no picture's bytes are read.
        const std::string key = db.keyColumn();
        SqlStatement all(db, "SELECT " + key + ", length(picture) FROM pictures WHERE " + db.holdsBytes("picture") +
                                 " ORDER BY " + key);
        while (all.step()) rowids_[all.integer(1)].push_back(all.integer(0));
        settle(db);
    }
    auto found = rowids_.find(length);
    return found == rowids_.end() ? std::vector<std::int64_t>{} : found->second;
}

void PictureLengths::keptDigests(SqlDatabase& db) {
    if (valid_ && &db == db_ && db.dataVersion() == dataVersion_) ownChanges_ = db.totalChanges();
}

void PictureLengths::remember(SqlDatabase& db, std::int64_t rowid, std::int64_t length) {
    if (!valid_ || &db != db_ || db.dataVersion() != dataVersion_) {
        valid_ = false;
        return;
    }
    std::vector<std::int64_t>& rowids = rowids_[length];
    if (rowids.empty() || rowids.back() < rowid) rowids.push_back(rowid);
    settle(db);
}

namespace {

// The pictures of this length (of `only` when given), with the digest kept for each and
// whether it still describes its row.
std::vector<Candidate> candidatesOfLength(SqlDatabase& db, std::int64_t length, bool haveTable,
                                          const std::optional<std::vector<std::int64_t>>& only) {
    const std::string key = std::string("p.") + db.keyColumn();
    const std::string digestColumns =
        haveTable ? std::string("d.sha256, d.filename ") + db.sameAs() + " p.filename AND d.length = ?1 FROM pictures AS p LEFT JOIN " +
                        kDigestTable + " AS d ON d.picture_rowid = " + key
                  : std::string("NULL, 0 FROM pictures AS p");
    SqlStatement same(db, "SELECT " + key + ", CAST(p.filename AS TEXT), " + digestColumns +
                              " WHERE length(p.picture) = ?1 AND " + db.holdsBytes("p.picture") +
                              (only ? " AND " + key + " = ?2" : " ORDER BY " + key));
    std::vector<Candidate> candidates;
    auto collect = [&] {
        while (same.step()) candidates.push_back({same.integer(0), same.text(1), same.integer(3) == 1, same.blob(2)});
    };
    same.bind(1, length);
    if (!only) {
        collect();
        return candidates;
    }
    for (std::int64_t rowid : *only) {
        same.reset();
        same.bind(2, rowid);
        collect();
    }
    return candidates;
}

}  // namespace

std::optional<StoredDuplicate> findStoredDuplicate(Connection& connection, const Bytes& bytes, PictureLengths* lengths) {
    SqlDatabase& db = connection.database();
    const auto length = static_cast<std::int64_t>(bytes.size());
    const bool writable = readyForWriting(db);
    const bool haveTable = writable || hasDigestTable(db);

    std::optional<std::vector<std::int64_t>> only;
    if (lengths) only = lengths->rowidsOfLength(db, length);
    const std::vector<Candidate> candidates = candidatesOfLength(db, length, haveTable, only);
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
        // A kept digest that differs rules the row out; one that matches is a hint only,
        // and the stored bytes themselves decide.
        const bool hinted = candidate.fresh && candidate.digest.size() == wanted.size();
        if (hinted && candidate.digest != wantedBytes) continue;
        SqlStatement read(db, std::string("SELECT picture FROM pictures WHERE ") + db.keyColumn() + " = ?1");
        read.bind(1, candidate.rowid);
        if (!read.step()) continue;
        const SharedBytes stored = read.bytes(0);
        const bool same = *stored == bytes;
        // The row's true digest, where none was kept or the kept one lied.
        if (keeping && (!hinted || !same)) {
            storeDigest(db, candidate.rowid, static_cast<std::int64_t>(stored->size()), sha256(stored->data(), stored->size()));
        }
        if (same) {
            finish(keeping);
            if (lengths) lengths->keptDigests(db);
            return StoredDuplicate{candidate.rowid, candidate.name};
        }
    }
    finish(keeping);
    if (lengths) lengths->keptDigests(db);
    return std::nullopt;
}

void rememberDigest(Connection& connection, std::int64_t rowid, const Bytes& bytes) {
    if (!connection.isOpen()) return;
    SqlDatabase& db = connection.database();
    if (!readyForWriting(db)) return;
    storeDigest(db, rowid, static_cast<std::int64_t>(bytes.size()), sha256(bytes.data(), bytes.size()));
}

}  // namespace velmora
