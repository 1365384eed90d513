#pragma once
// Kept thumbnails: one SQLite file in the user's cache folder, shared by every collection
// and never inside a collection file, so read-only collections work and a program that
// reads only `pictures` sees nothing change.
//
// A thumbnail is kept under its picture's content (the SHA-256 of the stored bytes) and
// its size, so it survives renames, restarts and rows other programs add, and a picture
// stored twice is made once. Which content a row holds is remembered per collection
// under the collection file's stamp (its size and modification time): while the file is
// unchanged, a row's thumbnail is found without reading the picture; once anything wrote
// the file, every row is hashed again from its bytes before its thumbnail is used, so a
// picture another program replaced never shows its old thumbnail.
//
// The file holds at most capBytes of thumbnails; the least recently used go first. A
// file that is damaged or belongs to another program is set aside (renamed, never
// deleted) and a new one made; where none can be made, nothing is kept and every
// thumbnail is made afresh. Failures to write (a full disk) lose only the keeping.
// Every method may be called from any thread.

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "base/bytes.h"
#include "store/database/sha256.h"

struct sqlite3;

namespace velmora {

// A collection file as it is now: its full path and what changes with every write.
struct CollectionStamp {
    std::string path;
    std::string version;  // "" when the file cannot be looked at: nothing is trusted then
    bool operator==(const CollectionStamp&) const = default;
};
CollectionStamp collectionStamp(const std::string& path);

class ThumbnailStore {
public:
    static constexpr std::int64_t kDefaultCapBytes = 256LL * 1024 * 1024;

    // Opens the file at path, making it (and its folder) when missing.
    explicit ThumbnailStore(std::string path, std::int64_t capBytes = kDefaultCapBytes);
    ~ThumbnailStore();
    ThumbnailStore(const ThumbnailStore&) = delete;
    ThumbnailStore& operator=(const ThumbnailStore&) = delete;

    // False when no file could be opened or made: nothing is kept.
    bool keeping() const { return db_ != nullptr; }
    const std::string& path() const { return path_; }

    // The content of `rowid` as remembered under exactly this stamp.
    std::optional<Sha256Digest> rowContent(const CollectionStamp& stamp, std::int64_t rowid);
    // Remembers it; what was remembered of the collection under another stamp goes.
    // stamp must be taken before the bytes were read.
    void rememberRow(const CollectionStamp& stamp, std::int64_t rowid, const Sha256Digest& content);

    // The kept thumbnail (JPEG bytes) of content at edge, marked as used now.
    std::optional<Bytes> thumbnail(const Sha256Digest& content, int edge);
    void keep(const Sha256Digest& content, int edge, const Bytes& jpeg);

    // The bytes of kept thumbnails.
    std::int64_t heldBytes();

private:
    void open();
    void makeSchema();
    void setAside(const char* suffix);
    void evict();
    // Runs an operation on the file; a failure is swallowed and returns false.
    template <typename Operation>
    bool attempt(Operation&& operation);

    std::string path_;
    std::int64_t capBytes_;
    std::mutex mutex_;
    sqlite3* db_ = nullptr;
    std::int64_t held_ = 0;
    std::int64_t clock_ = 0;  // the last use's number
    std::string lastStampVersion_;
    std::string lastStampPath_;
};

}  // namespace velmora
