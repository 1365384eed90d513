#pragma once
// Another program on the same collection file: a plain SQLite connection of its own,
// which changes rows between the steps of a test and reads what it expects to find.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::test {

class SqlitePeer {
public:
    explicit SqlitePeer(const std::string& path);
    ~SqlitePeer();
    SqlitePeer(const SqlitePeer&) = delete;
    SqlitePeer& operator=(const SqlitePeer&) = delete;

    // Runs statements; raises std::runtime_error with SQLite's text.
    void exec(const std::string& sql);
    // The first column of the first row as an integer (0 when none).
    std::int64_t integer(const std::string& sql);
    // "rowid:filename" of every record of `pictures`, in rowid order.
    std::vector<std::string> pictureRows();
    bool hasTable(const std::string& name);

private:
    sqlite3* db_ = nullptr;
};

}  // namespace velmora::test
