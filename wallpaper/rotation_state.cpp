#include "wallpaper/rotation_state.h"

#include <cstdio>
#include <map>

#include "base/error.h"
#include "store/database/own_tables.h"
#include "store/database/sql_statement.h"

namespace velmora {
namespace {

const char* const kTables[] = {"velmora_picture_keys", "velmora_rotation", "velmora_rotation_history",
                               "velmora_rotation_round"};

// Runs f, saying of an error that it is the rotation's.
template <typename F>
auto rotationStep(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const Error& error) {
        throw Error(std::string("Rotation state: ") + error.what());
    }
}

// One prepared statement, finalised on every way out.
class Statement {
public:
    Statement(SqlDatabase& db, const std::string& sql) : statement_(rotationStep([&] { return SqlStatement(db, sql); })) {}

    Statement& bind(int index, std::int64_t value) {
        statement_.bind(index, value);
        return *this;
    }
    Statement& bind(int index, const std::string& text) {
        statement_.bind(index, text);
        return *this;
    }
    Statement& bind(int index, std::optional<std::int64_t> value) {
        statement_.bind(index, value ? FieldValue{*value} : FieldValue{});
        return *this;
    }
    // True while there is a row.
    bool step() {
        return rotationStep([&] { return statement_.step(); });
    }
    void reset() {
        statement_.reset();
        statement_.cursor().clearBindings();
    }
    std::int64_t integer(int column) const { return statement_.integer(column); }
    std::optional<std::int64_t> optionalInteger(int column) const {
        if (statement_.isNull(column)) return std::nullopt;
        return integer(column);
    }
    std::string text(int column) const { return statement_.text(column); }
    bool isNull(int column) const { return statement_.isNull(column); }
    SharedBytes bytes(int column) const { return statement_.bytes(column); }

private:
    SqlStatement statement_;
};

std::string contentKey(const Bytes& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::uint8_t byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
    char text[40];
    std::snprintf(text, sizeof text, "%d:%016llx", static_cast<int>(bytes.size()), static_cast<unsigned long long>(hash));
    return text;
}

}  // namespace

void RotationState::exec(const std::string& sql) {
    rotationStep([&] { db_.exec(sql); });
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
    if (db_.changes() != 1) throw Error("Rotation state: " + what + " changed " + std::to_string(db_.changes()) +
                                        " rows instead of one");
}

std::vector<std::string> RotationState::keysOf(const std::vector<std::int64_t>& rowids) {
    // length() of a blob reads no overflow pages, so this is cheap for any collection.
    std::map<std::int64_t, std::pair<std::int64_t, bool>> sizes;  // rowid -> size, has picture
    Statement all(db_, std::string("SELECT ") + db_.keyColumn() + ", length(picture), picture IS NULL FROM pictures");
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
    Statement read(db_, std::string("SELECT picture FROM pictures WHERE ") + db_.keyColumn() + " = ?");
    read.bind(1, rowid);
    return read.step() && !read.isNull(0) ? contentKey(*read.bytes(0)) : "";
}

void RotationState::keepKeys(const std::map<std::int64_t, std::pair<std::int64_t, std::string>>& keys) {
    // Keeping new digests is an optimisation: a file that cannot be written still rotates.
    if (keys.empty() || !hasTables()) return;
    Statement keep(db_, "INSERT INTO velmora_picture_keys(picture_rowid, size, key) VALUES (?, ?, ?)"
                        " ON CONFLICT (picture_rowid) DO UPDATE SET size = excluded.size, key = excluded.key");
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
    Statement current(db_, "INSERT INTO velmora_rotation_round(\"only\", round) VALUES (1, ?)"
                           " ON CONFLICT (\"only\") DO UPDATE SET round = excluded.round");
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

void RotationState::begin() {
    rotationStep([&] { db_.begin(true); });
}
void RotationState::commit() {
    rotationStep([&] { db_.commit(); });
}
void RotationState::rollback() { db_.rollbackQuietly(); }

}  // namespace velmora
