#pragma once
// What the rotation remembers of one collection, kept in the collection file itself
// in tables of its own beside `pictures`, which it never writes: the pictures left out
// of rotation, which pictures the current shuffle round has shown, and the order they
// were shown in, for stepping back.
//
// A picture is known by its content (its bytes' size and a 64-bit FNV-1a digest), so
// marks hold while other programs rename, delete, add or renumber rows. The digests
// are cached by rowid and size, so a picture is read once, not at every change.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class SqlDatabase;

struct HistoryEntry {
    std::string key;
    std::optional<std::int64_t> roundBefore;  // the picture's round before it was shown
};

class RotationState {
public:
    // Reads nothing yet; the file's tables are made only when something is written.
    explicit RotationState(SqlDatabase& db) : db_(db) {}

    // Whether this collection holds any rotation state yet.
    bool inUse() { return hasTables(); }
    // Makes the tables, so that keys are cached from now on.
    void prepare() { makeTables(); }

    // The key of each row, in the order given; "" for a row without a picture. Raises
    // Error when the file cannot be read.
    std::vector<std::string> keysOf(const std::vector<std::int64_t>& rowids);
    // The key of the row taken from its picture's own bytes, never from the cache, which
    // is put right when it held another (cachedKey). A cached key is a hint; this
    // confirms one before it keeps a picture out.
    std::string confirmedKeyOf(std::int64_t rowid, const std::string& cachedKey);

    bool leftOut(const std::string& key);
    void setLeftOut(const std::string& key, bool leftOut);

    // The shuffle round: a picture shown in the current round is not shown again before
    // every other picture has been.
    std::int64_t round();
    std::optional<std::int64_t> shownRound(const std::string& key);

    // Records that key was shown in the current round (which becomes `round`).
    void recordShown(const std::string& key, std::int64_t round);
    // Marks key as shown in `round` without a history entry: a picture on another
    // monitor, which Previous does not step back to.
    void markShown(const std::string& key, std::int64_t round);
    // The latest entries first; at most `count`.
    std::vector<HistoryEntry> latestShown(int count);
    // Removes the latest entry and puts the picture's round back.
    void undoLatestShown();

    // Everything written since begin() is kept by commit() together, or not at all.
    void begin();
    void commit();
    void rollback();

private:
    bool hasTables();
    void makeTables();
    void exec(const std::string& sql);
    void changeOne(const std::string& what);
    std::string keyFromBytes(std::int64_t rowid);
    void keepKeys(const std::map<std::int64_t, std::pair<std::int64_t, std::string>>& keys);

    SqlDatabase& db_;
    bool tablesKnown_ = false;
    bool tablesExist_ = false;
};

}  // namespace velmora
