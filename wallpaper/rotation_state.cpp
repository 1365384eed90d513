#include "wallpaper/rotation_state.h"

#include <sqlite3.h>

#include <cstdio>
#include <map>

#include "base/error.h"
#include "store/database/own_tables.h"

namespace velmora {
namespace {

const char* const kTables[] = {"velmora_picture_keys", "velmora_rotation", "velmora_rotation_history",
                               "velmora_rotation_round"};

[[noreturn]] void fail(sqlite3* db) { throw Error(std::string("Rotation state: ") + sqlite3_errmsg(db)); }

// One prepared statement, finalised on every way out.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) fail(db);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, std::int64_t value) {
        sqlite3_bind_int64(statement_, index, value);
        return *this;
    }
    Statement& bind(int index, const std::string& text) {
        sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bind(int index, std::optional<std::int64_t> value) {
        if (value) return bind(index, *value);
        sqlite3_bind_null(statement_, index);
        return *this;
    }
    // True while there is a row.
    bool step() {
        int rc = sqlite3_step(statement_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) fail(db_);
        return false;
    }
    void reset() {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    std::int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
    std::optional<std::int64_t> optionalInteger(int column) const {
        if (sqlite3_column_type(statement_, column) == SQLITE_NULL) return std::nullopt;
        return integer(column);
    }
    std::string text(int column) const {
        const unsigned char* bytes = sqlite3_column_text(statement_, column);
        return bytes ? std::string(reinterpret_cast<const char*>(bytes), sqlite3_column_bytes(statement_, column)) : "";
    }
    bool isNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }
    const void* blob(int column) const { return sqlite3_column_blob(statement_, column); }
    int bytes(int column) const { return sqlite3_column_bytes(statement_, column); }

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

std::string contentKey(const void* data, int size) {
    std::uint64_t hash = 14695981039346656037ull;
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (int i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    char text[40];
    std::snprintf(text, sizeof text, "%d:%016llx", size, static_cast<unsigned long long>(hash));
    return text;
}

}  // namespace

void RotationState::exec(const std::string& sql) {
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) fail(db_);
}

bool RotationState::hasTables() {
    if (!tablesKnown_) {
        // Each table the file has is checked before anything reads or writes it: another
        // program may have made one with expressions, keys or constraints of its own.
        int present = 0;
        for (const char* table : kTables) present += hasCheckedTable(db_, table) ? 1 : 0;
        tablesExist_ = present == 4;
        tablesKnown_ = true;
    }
    return tablesExist_;
}

void RotationState::makeTables() {
    if (hasTables()) return;
    for (const char* table : kTables) ensureOwnTable(db_, table);
    tablesExist_ = true;
}

// A write that must change exactly one row.
void RotationState::changeOne(const std::string& what) {
    if (sqlite3_changes(db_) != 1) throw Error("Rotation state: " + what + " changed " +
                                               std::to_string(sqlite3_changes(db_)) + " rows instead of one");
}

std::vector<std::string> RotationState::keysOf(const std::vector<std::int64_t>& rowids) {
    // length() of a blob reads no overflow pages, so this is cheap for any collection.
    std::map<std::int64_t, std::pair<std::int64_t, bool>> sizes;  // rowid -> size, has picture
    Statement all(db_, "SELECT rowid, length(picture), picture IS NULL FROM pictures");
    while (all.step()) sizes[all.integer(0)] = {all.integer(1), all.integer(2) == 0};
    std::map<std::int64_t, std::pair<std::int64_t, std::string>> cached;
    if (hasTables()) {
        Statement known(db_, "SELECT picture_rowid, size, key FROM velmora_picture_keys");
        while (known.step()) cached[known.integer(0)] = {known.integer(1), known.text(2)};
    }
    std::vector<std::string> keys;
    std::map<std::int64_t, std::pair<std::int64_t, std::string>> fresh;
    for (std::int64_t rowid : rowids) {
        auto size = sizes.find(rowid);
        if (size == sizes.end() || !size->second.second) {
            keys.emplace_back();
            continue;
        }
        auto hit = cached.find(rowid);
        if (hit != cached.end() && hit->second.first == size->second.first) {
            keys.push_back(hit->second.second);
            continue;
        }
        keys.push_back(keyFromBytes(rowid));
        fresh[rowid] = {size->second.first, keys.back()};
    }
    keepKeys(fresh);
    return keys;
}

std::string RotationState::keyFromBytes(std::int64_t rowid) {
    Statement read(db_, "SELECT picture FROM pictures WHERE rowid = ?");
    read.bind(1, rowid);
    return read.step() && !read.isNull(0) ? contentKey(read.blob(0), read.bytes(0)) : "";
}

void RotationState::keepKeys(const std::map<std::int64_t, std::pair<std::int64_t, std::string>>& keys) {
    // Keeping new digests is an optimisation: a file that cannot be written still rotates.
    if (keys.empty() || !hasTables()) return;
    Statement keep(db_, "INSERT OR REPLACE INTO velmora_picture_keys(picture_rowid, size, key) VALUES (?, ?, ?)");
    for (const auto& [rowid, entry] : keys) {
        keep.bind(1, rowid).bind(2, entry.first).bind(3, entry.second);
        try {
            keep.step();
        } catch (const Error&) {
            return;
        }
        keep.reset();
    }
}

std::string RotationState::confirmedKeyOf(std::int64_t rowid, const std::string& cachedKey) {
    const std::string key = keyFromBytes(rowid);
    // A key begins with the picture's size.
    if (!key.empty() && key != cachedKey) keepKeys({{rowid, {std::stoll(key), key}}});
    return key;
}

bool RotationState::leftOut(const std::string& key) {
    if (!hasTables()) return false;
    Statement find(db_, "SELECT left_out FROM velmora_rotation WHERE key = ?");
    find.bind(1, key);
    return find.step() && find.integer(0) != 0;
}

void RotationState::setLeftOut(const std::string& key, bool leftOut) {
    makeTables();
    Statement mark(db_, "INSERT INTO velmora_rotation(key, left_out) VALUES (?1, ?2)"
                        " ON CONFLICT(key) DO UPDATE SET left_out = ?2");
    mark.bind(1, key).bind(2, std::int64_t{leftOut ? 1 : 0});
    mark.step();
    changeOne("the mark of a picture");
}

std::int64_t RotationState::round() {
    if (!hasTables()) return 1;
    Statement find(db_, "SELECT round FROM velmora_rotation_round");
    return find.step() ? find.integer(0) : 1;
}

std::optional<std::int64_t> RotationState::shownRound(const std::string& key) {
    if (!hasTables()) return std::nullopt;
    Statement find(db_, "SELECT shown_round FROM velmora_rotation WHERE key = ?");
    find.bind(1, key);
    return find.step() ? find.optionalInteger(0) : std::nullopt;
}

void RotationState::recordShown(const std::string& key, std::int64_t round) {
    makeTables();
    std::optional<std::int64_t> before = shownRound(key);
    Statement history(db_, "INSERT INTO velmora_rotation_history(key, round_before) VALUES (?, ?)");
    history.bind(1, key).bind(2, before);
    history.step();
    changeOne("the history");
    markShown(key, round);
    // A long history is of no use: stepping back goes a few pictures at most.
    exec("DELETE FROM velmora_rotation_history WHERE step <= (SELECT max(step) - 1000 FROM velmora_rotation_history)");
}

void RotationState::markShown(const std::string& key, std::int64_t round) {
    makeTables();
    Statement mark(db_, "INSERT INTO velmora_rotation(key, shown_round) VALUES (?1, ?2)"
                        " ON CONFLICT(key) DO UPDATE SET shown_round = ?2");
    mark.bind(1, key).bind(2, round);
    mark.step();
    changeOne("the mark of a picture");
    Statement current(db_, "INSERT OR REPLACE INTO velmora_rotation_round(only, round) VALUES (1, ?)");
    current.bind(1, round);
    current.step();
    changeOne("the round");
}

std::vector<HistoryEntry> RotationState::latestShown(int count) {
    std::vector<HistoryEntry> entries;
    if (!hasTables()) return entries;
    Statement latest(db_, "SELECT key, round_before FROM velmora_rotation_history ORDER BY step DESC LIMIT ?");
    latest.bind(1, std::int64_t{count});
    while (latest.step()) entries.push_back({latest.text(0), latest.optionalInteger(1)});
    return entries;
}

void RotationState::undoLatestShown() {
    std::vector<HistoryEntry> latest = latestShown(1);
    if (latest.empty()) return;
    Statement unmark(db_, "UPDATE velmora_rotation SET shown_round = ? WHERE key = ?");
    unmark.bind(1, latest[0].roundBefore).bind(2, latest[0].key);
    unmark.step();
    exec("DELETE FROM velmora_rotation_history WHERE step = (SELECT max(step) FROM velmora_rotation_history)");
}

void RotationState::begin() { exec("BEGIN IMMEDIATE"); }
void RotationState::commit() { exec("COMMIT"); }
void RotationState::rollback() { sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr); }

}  // namespace velmora
