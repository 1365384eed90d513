// Collection files from elsewhere are untrusted: a view or triggers in place of the
// plain table, a damaged or truncated file, a value that declares 600 MB. Each ends in
// a clear error at the step that meets it; nothing is written, nothing crashes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>

#include "store/database/untrusted_file.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

void exec(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    char* message = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
    std::string text = message ? message : "";
    sqlite3_free(message);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error(text);
}

void overwrite(const std::string& path, std::size_t at, const std::string& bytes) {
    std::string content = readFile(path);
    ASSERT_LE(at + bytes.size(), content.size());
    content.replace(at, bytes.size(), bytes);
    writeFile(path, content);
}

// A record whose picture declares 600 MB in a header of a few bytes: name "HUGEHUGE"
// and a null picture, rewritten as a 4-byte name and a 5-byte serial type.
void declareHugePicture(const std::string& path) {
    createCollection(path, {{"HUGEHUGE", {}}});
    std::string content = readFile(path);
    const std::string record = std::string("\x03\x1d\x00", 3) + "HUGEHUGE";  // a null picture
    std::size_t at = content.find(record);
    ASSERT_NE(at, std::string::npos);
    const std::uint64_t serialType = 600ull * 1024 * 1024 * 2 + 12;
    std::string header = "\x07\x15";  // header size 7, a 4-byte text
    for (int shift = 28; shift >= 0; shift -= 7) {
        header += static_cast<char>(((serialType >> shift) & 0x7f) | (shift ? 0x80 : 0));
    }
    overwrite(path, at, header + "HUGE");
}

// Two records in a table `pictures` made by `create`, then `extra` run.
std::function<void(const std::string&)> withSchema(const std::string& create, const std::string& extra = "") {
    return [=](const std::string& path) {
        createCollection(path, namedRecords({"a", "b"}));
        exec(path, "ALTER TABLE pictures RENAME TO stored; " + create +
                       "; INSERT INTO pictures (filename, picture) SELECT filename, picture FROM stored; "
                       "DROP TABLE stored; " + extra);
    };
}

struct HostileCase {
    const char* name;
    std::function<void(const std::string& path)> make;
    const char* expected;  // a part of the first error
};

TEST(HostileFiles, EachFailsClearlyAtItsStepAndNothingIsWritten) {
    const std::vector<HostileCase> cases = {
        {"a view named pictures",
         [](const std::string& path) {
             createCollection(path, namedRecords({"a", "b"}));
             exec(path, "ALTER TABLE pictures RENAME TO stored; CREATE VIEW pictures AS SELECT * FROM stored");
         },
         "The table 'pictures' is a view"},
        {"a trigger on delete that writes elsewhere",
         [](const std::string& path) {
             createCollection(path, namedRecords({"a", "b"}));
             exec(path, "CREATE TABLE spy (name); CREATE TRIGGER copy AFTER DELETE ON pictures "
                        "BEGIN INSERT INTO spy VALUES (old.filename); END");
         },
         "The table 'pictures' carries triggers"},
        {"a table without rowids",
         [](const std::string& path) {
             createCollection(path);
             exec(path, "DROP TABLE pictures; CREATE TABLE pictures (filename TEXT PRIMARY KEY, picture BLOB) "
                        "WITHOUT ROWID; INSERT INTO pictures VALUES ('a', x'00'), ('b', x'01')");
         },
         "The table 'pictures' has no rowids"},
        {"a column that stands in for the rowid",
         [](const std::string& path) {
             createCollection(path);
             exec(path, "DROP TABLE pictures; CREATE TABLE pictures (filename TEXT, picture BLOB, RowId INTEGER); "
                        "INSERT INTO pictures VALUES ('a', x'00', 1), ('b', x'01', 1)");
         },
         "The table 'pictures' has a column named like its rowid"},
        {"a truncated file",
         [](const std::string& path) {
             createCollection(path, namedRecords({"a", "b"}));
             appendRecords(path, {{"big", Bytes(100000, 7)}});
             std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
         },
         "database disk image is malformed"},
        {"the table's page overwritten by noise",
         [](const std::string& path) {
             createCollection(path, namedRecords({"a", "b", "c"}));
             std::string noise;
             for (int i = 0; i < 16384; ++i) noise += static_cast<char>((i * 7919 + 13) % 251);
             overwrite(path, 16384, noise);  // page 2: the root of pictures
         },
         "database disk image is malformed"},
        {"a picture declaring 600 MB", declareHugePicture, "malformed"},
        // Functions in the schema run on the rows even with the schema untrusted.
        {"generated columns of 64 MB each",
         withSchema("CREATE TABLE pictures (filename TEXT, picture BLOB, "
                    "g1 TEXT AS (printf('%.*c', 67108864, filename)), g2 GENERATED ALWAYS AS (zeroblob(1e8)))"),
         "The table 'pictures' has generated columns"},
        {"a CHECK on the table",
         withSchema("CREATE TABLE pictures (filename TEXT, picture BLOB, CHECK (length(randomblob(1e6)) > 0))"),
         "The table 'pictures' has CHECK constraints"},
        {"a CHECK on a column",
         withSchema("CREATE TABLE pictures (filename TEXT /* plain */ Check(printf('%.*c', 1e6, filename) <> ''), "
                    "picture BLOB)"),
         "The table 'pictures' has CHECK constraints"},
        // Adding a second picture of a name would delete the first.
        {"a conflict clause that replaces rows",
         withSchema("CREATE TABLE pictures (filename TEXT, picture BLOB, UNIQUE (filename) ON CONFLICT REPLACE)"),
         "The table 'pictures' replaces rows on a conflict"},
        {"a default that calls a function",
         withSchema("CREATE TABLE pictures (filename TEXT DEFAULT 'x', picture BLOB, n DEFAULT (-(zeroblob(1e6))))"),
         "The table 'pictures' has a column default that is not a plain value"},
        {"an index on an expression",
         withSchema("CREATE TABLE pictures (filename TEXT, picture BLOB)",
                    "CREATE INDEX names ON pictures (filename, length(printf('%.*c', 1e6, filename)))"),
         "The table 'pictures' has an index on an expression"},
        {"an index with a WHERE clause",
         withSchema("CREATE TABLE pictures (filename TEXT, picture BLOB)",
                    "CREATE INDEX names ON pictures (filename) WHERE length(zeroblob(1e6)) > 0"),
         "The table 'pictures' has an index with a WHERE clause"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        TempDir dir;
        std::string path = dir.file("hostile.vlm");
        test.make(path);
        const std::string before = readFile(path);

        OpenStore s(path);
        std::vector<std::string> errors;
        auto attempt = [&](const std::function<void()>& step) {
            std::string message = messageOf(step);
            if (message != "<no error>") errors.push_back(message);
        };
        attempt([&] { s.query.activate(); });
        if (s.query.active()) {
            attempt([&] { s.query.fieldByName("picture").asBytes(); });
            attempt([&] {
                if (s.query.recordCount() > 0) s.query.remove();
            });
        }
        ASSERT_FALSE(errors.empty());
        EXPECT_NE(errors[0].find(test.expected), std::string::npos) << errors[0];
        s.connection.close();
        EXPECT_EQ(readFile(path), before);
        EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
    }
}

// SQLite's heap is limited for the whole program: a row that needs more fails with
// SQLite's own message instead of taking the machine's memory, writes nothing, and can
// still be deleted.
TEST(HostileFiles, ARowLargerThanSqlitesHeapFailsToReadButCanBeDeleted) {
    TempDir dir;
    const std::string path = dir.file("big row.vlm");
    withSchema("CREATE TABLE pictures (filename TEXT, picture BLOB, a TEXT, b TEXT)")(path);
    const std::string value = "CAST(zeroblob(3000000) AS TEXT)";  // 9 MB of text in the first row
    exec(path, "UPDATE pictures SET filename = " + value + ", a = " + value + ", b = " + value + " WHERE rowid = 1");
    const std::string before = readFile(path);

    const ScopedSqliteHeapLimit limit(8 << 20);
    OpenStore s(path);
    s.query.activate();
    EXPECT_EQ(messageOf([&] { s.current(); }), "out of memory");
    EXPECT_EQ(readFile(path), before);
    s.query.remove();
    EXPECT_EQ(s.current(), "b");
    s.connection.close();
    EXPECT_EQ(namesInFile(path), std::vector<std::string>{"b"});
}

// Plain defaults, indexes on columns, and CHECK where it is only a name, a text or a
// comment are what other tools may leave in a file: it opens and takes a new record.
TEST(HostileFiles, PlainDefaultsAndColumnIndexesStillOpen) {
    TempDir dir;
    const std::string path = dir.file("plain.vlm");
    withSchema("CREATE TABLE pictures (filename TEXT DEFAULT 'CHECK (1)', picture BLOB DEFAULT x'00', "
               "\"check\" DEFAULT -5 /* CHECK (0) */, [check it] DEFAULT (+1.5e-3), `c` DEFAULT CURRENT_TIMESTAMP, "
               "d DEFAULT NULL, e DEFAULT plain -- CHECK\n)",
               "CREATE INDEX names ON pictures (filename, picture DESC)")(path);
    OpenStore s(path);
    s.query.activate();
    EXPECT_EQ(s.current(), "a");
    s.query.append();
    s.query.fieldByName("filename").setAsString("new");
    s.query.post();
    s.connection.close();
    EXPECT_EQ(namesInFile(path), (std::vector<std::string>{"a", "b", "new"}));
}

}  // namespace
}  // namespace velmora::test
