#include "cli/collection_check.h"

#include <sqlite3.h>

#include <algorithm>
#include <sstream>

#include "base/error.h"
#include "store/database/own_tables.h"
#include "store/database/sqlite_database.h"
#include "store/database/server_address.h"
#include "store/database/server_database.h"
#include "store/server/open_collection.h"
#include "store/database/sql_statement.h"
#include "store/database/untrusted_file.h"
#include "store/picture/jpeg_decoder.h"

namespace velmora {

namespace {

struct ReadOnlyDatabase {
    sqlite3* db = nullptr;
    ~ReadOnlyDatabase() { sqlite3_close(db); }
};

// The end-of-image marker closes the entropy-coded data; it is looked for near the end,
// since a thumbnail in the headers carries one of its own. A stream cut short has none.
bool endsWithEndOfImage(const Bytes& bytes) {
    constexpr std::size_t kTail = 4096;
    const std::size_t from = bytes.size() > kTail ? bytes.size() - kTail : 0;
    for (std::size_t at = bytes.size(); at >= from + 2; --at) {
        if (bytes[at - 2] == 0xFF && bytes[at - 1] == 0xD9) return true;
    }
    return false;
}

std::string pictureProblem(const Bytes& bytes) {
    try {
        readJpegHeader(bytes);
    } catch (const JpegError& error) {
        return std::string("its JPEG header cannot be read (") + error.what() + ")";
    }
    if (!endsWithEndOfImage(bytes)) return "it ends before its end-of-image marker (cut short)";
    return {};
}

// Every table's schema, before SQLite's integrity check evaluates index expressions,
// CHECK constraints and partial indexes' conditions on every row: a file that holds
// such code is reported without running it.
void checkSchema(sqlite3* db) {
    requirePlainPictureTable(db);
    SqliteDatabase file(db);
    requireOwnTables(file);
    std::vector<std::string> tables;
    SqlStatement names(db, "SELECT name FROM main.sqlite_schema WHERE type = 'table'");
    while (names.step()) tables.push_back(names.text(0));
    for (const std::string& table : tables) requireInertTable(db, table);
}

void checkPictures(sqlite3* db, CollectionCheck& check) {
    SqlStatement rows(db, "SELECT CAST(filename AS TEXT), typeof(picture), picture FROM pictures ORDER BY rowid");
    while (rows.step()) {
        const int position = ++check.pictures;
        const std::string name = rows.text(0);
        const std::string type = rows.text(1);
        std::string what;
        if (type == "null") {
            what = "it holds no picture";
        } else if (type != "blob") {
            what = "its picture is stored as " + type + ", not as bytes";
        } else {
            what = pictureProblem(rows.blob(2));
        }
        if (!what.empty()) check.problems.push_back({position, name, what});
    }
}

// A server collection: its table as opening checks it, then every picture in key order,
// under one snapshot; the server answers for its own pages.
CollectionCheck checkServerCollection(const std::string& address) {
    CollectionCheck check;
    try {
        std::unique_ptr<CollectionStore> store = openCollection(address);
        requireOwnTables(*openServerDatabase(address));
        const std::vector<StoredColumn> columns = store->columns();
        auto indexOf = [&](const char* name) {
            return std::find_if(columns.begin(), columns.end(), [&](const StoredColumn& c) { return c.name == name; }) -
                   columns.begin();
        };
        const auto name = static_cast<std::size_t>(indexOf("filename")), picture = static_cast<std::size_t>(indexOf("picture"));
        store->eachRow([&](const std::vector<FieldValue>& values) {
            const int position = ++check.pictures;
            const std::string what = values[picture].isNull() ? "it holds no picture" : pictureProblem(*values[picture].asBytes());
            if (!what.empty()) check.problems.push_back({position, values[name].asString(), what});
        });
    } catch (const Error& error) {
        check.problems.push_back({0, "", error.what()});
    }
    return check;
}

}  // namespace

CollectionCheck checkCollection(const std::string& path) {
    if (isServerAddress(path)) return checkServerCollection(path);
    CollectionCheck check;
    ReadOnlyDatabase file;
    try {
        if (int rc = sqlite3_open_v2(path.c_str(), &file.db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
            rc != SQLITE_OK) {
            throw Error(file.db ? sqlite3_errmsg(file.db) : sqlite3_errstr(rc));
        }
        applyUntrustedFileSettings(file.db);
        sqlite3_busy_timeout(file.db, 10000);
        // One read transaction: the check sees one state of a file others may be writing.
        execSql(file.db, "BEGIN");
        checkSchema(file.db);
        {
            SqlStatement integrity(file.db, "PRAGMA integrity_check");
            // A row may hold several lines, under a heading naming the schema.
            while (integrity.step()) {
                std::istringstream lines(integrity.text(0));
                for (std::string line; std::getline(lines, line);) {
                    if (line != "ok" && !line.starts_with("*** in database")) {
                        check.problems.push_back({0, "", "integrity check: " + line});
                    }
                }
            }
        }
        checkPictures(file.db, check);
    } catch (const Error& error) {
        check.problems.push_back({0, "", error.what()});
    }
    return check;
}

std::string checkReport(const std::string& path, const CollectionCheck& check) {
    std::string report;
    for (const CollectionProblem& problem : check.problems) {
        if (problem.position == 0) {
            report += path + ": " + problem.what + "\n";
        } else {
            report += path + ": picture " + std::to_string(problem.position) + " \"" + problem.name +
                      "\": " + problem.what + "\n";
        }
    }
    const std::string pictures = std::to_string(check.pictures) + (check.pictures == 1 ? " picture" : " pictures");
    if (check.sound()) {
        report += path + ": sound, " + pictures + "\n";
    } else {
        const std::size_t count = check.problems.size();
        report += path + ": " + std::to_string(count) + (count == 1 ? " problem" : " problems") + " found, " +
                  pictures + " read\n";
    }
    return report;
}

}  // namespace velmora
