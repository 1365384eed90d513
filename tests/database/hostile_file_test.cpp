// Collection files from elsewhere are untrusted: a view or triggers in place of the
// plain table, a damaged or truncated file, a value that declares 600 MB. Each ends in
// a clear error at the step that meets it; nothing is written, nothing crashes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>

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
    tools::createCollection(path, {{"HUGEHUGE", {}}});
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

struct HostileCase {
    const char* name;
    std::function<void(const std::string& path)> make;
    const char* expected;  // a part of the first error
};

TEST(HostileFiles, EachFailsClearlyAtItsStepAndNothingIsWritten) {
    const std::vector<HostileCase> cases = {
        {"a view named pictures",
         [](const std::string& path) {
             tools::createCollection(path, namedRecords({"a", "b"}));
             exec(path, "ALTER TABLE pictures RENAME TO stored; CREATE VIEW pictures AS SELECT * FROM stored");
         },
         "The table 'pictures' is a view"},
        {"a trigger on delete that writes elsewhere",
         [](const std::string& path) {
             tools::createCollection(path, namedRecords({"a", "b"}));
             exec(path, "CREATE TABLE spy (name); CREATE TRIGGER copy AFTER DELETE ON pictures "
                        "BEGIN INSERT INTO spy VALUES (old.filename); END");
         },
         "The table 'pictures' carries triggers"},
        {"a table without rowids",
         [](const std::string& path) {
             tools::createCollection(path);
             exec(path, "DROP TABLE pictures; CREATE TABLE pictures (filename TEXT PRIMARY KEY, picture BLOB) "
                        "WITHOUT ROWID; INSERT INTO pictures VALUES ('a', x'00'), ('b', x'01')");
         },
         "The table 'pictures' has no rowids"},
        {"a column that stands in for the rowid",
         [](const std::string& path) {
             tools::createCollection(path);
             exec(path, "DROP TABLE pictures; CREATE TABLE pictures (filename TEXT, picture BLOB, RowId INTEGER); "
                        "INSERT INTO pictures VALUES ('a', x'00', 1), ('b', x'01', 1)");
         },
         "The table 'pictures' has a column named like its rowid"},
        {"a truncated file",
         [](const std::string& path) {
             tools::createCollection(path, namedRecords({"a", "b"}));
             tools::appendRecords(path, {{"big", Bytes(100000, 7)}});
             std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
         },
         "database disk image is malformed"},
        {"the table's page overwritten by noise",
         [](const std::string& path) {
             tools::createCollection(path, namedRecords({"a", "b", "c"}));
             std::string noise;
             for (int i = 0; i < 16384; ++i) noise += static_cast<char>((i * 7919 + 13) % 251);
             overwrite(path, 16384, noise);  // page 2: the root of pictures
         },
         "database disk image is malformed"},
        {"a picture declaring 600 MB", declareHugePicture, "malformed"},
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

}  // namespace
}  // namespace velmora::test
