// velmora --check and --backup as both programs run them: reports, exit statuses, and
// files left exactly as they were.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/maintenance_cli.h"
#include "tests/support/sqlite_peer.h"
#include "tests/support/store_fixture.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

struct Outcome {
    int status = -1;
    std::string output;
    std::string errors;
};

Outcome run(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    Outcome outcome;
    outcome.status = runMaintenance(parseMaintenanceOptions(arguments), out, err);
    outcome.output = out.str();
    outcome.errors = err.str();
    return outcome;
}

std::vector<CollectionRecord> photos(int count) {
    std::vector<CollectionRecord> records;
    for (int i = 0; i < count; ++i) records.push_back({"照片" + std::to_string(i + 1), tools::syntheticJpeg(64, 48, i)});
    return records;
}

// Overwrites bytes of the file at `offset`, as a failing disk would.
void damage(const std::string& path, std::size_t offset, const std::string& bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(Check, ReportsEachProblemWithNameAndPositionAndWritesNothing) {
    TempDir dir;
    struct Case {
        const char* name;
        std::function<void(const std::string&)> spoil;
        int status;
        std::vector<std::string> lines;  // expected in the report
    };
    const std::vector<Case> cases = {
        {"sound", [](const std::string&) {}, 0, {": sound, 4 pictures"}},
        {"cut short",
         [](const std::string& path) {
             SqlitePeer(path).exec("UPDATE pictures SET picture = substr(picture, 1, length(picture) / 2) WHERE rowid = 2");
         },
         1,
         {": picture 2 \"照片2\": it ends before its end-of-image marker (cut short)", ": 1 problem found, 4 pictures read"}},
        {"headers cut and no picture",
         [](const std::string& path) {
             SqlitePeer(path).exec("UPDATE pictures SET picture = substr(picture, 1, 30) WHERE rowid = 3; "
                                   "UPDATE pictures SET picture = NULL WHERE rowid = 4");
         },
         1,
         {": picture 3 \"照片3\": its JPEG header cannot be read (JPEG error #", ": picture 4 \"照片4\": it holds no picture",
          ": 2 problems found"}},
        {"damaged pages",
         [](const std::string& path) {
             // The page after the schema: a b-tree page of `pictures`, its header overwritten.
             damage(path, 16384 + 3, std::string("\x7f\x7f\x7f\x7f\x7f", 5));
         },
         1,
         {": integrity check: "}},
        {"not a database", [](const std::string& path) { damage(path, 0, "not an SQLite file at all"); }, 1,
         {": file is not a database"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(std::string(c.name) + ".vlm");
        createCollection(path, photos(4));
        c.spoil(path);
        const std::string before = readFile(path);
        const Outcome outcome = run({"--check", path});
        EXPECT_EQ(outcome.status, c.status) << outcome.output;
        for (const std::string& line : c.lines) EXPECT_NE(outcome.output.find(path + line), std::string::npos) << outcome.output;
        EXPECT_EQ(readFile(path), before);
        EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
    }
    // A schema whose expressions would take 100 MiB a row is reported without SQLite's
    // integrity check evaluating them: the index's width is raised after its rows are in.
    const std::string hostile = dir.file("hostile.vlm");
    createCollection(hostile, photos(2));
    SqlitePeer(hostile).exec(
        "CREATE TABLE velmora_rotation(key TEXT PRIMARY KEY, left_out INTEGER, shown_round INTEGER); "
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200) "
        "INSERT INTO velmora_rotation(key) SELECT 'k' || i FROM n; "
        "CREATE INDEX big ON velmora_rotation (printf('%.*c', 1, key)); PRAGMA writable_schema = ON; "
        "UPDATE sqlite_schema SET sql = replace(sql, '1, key', '104857600, key') WHERE name = 'big'");
    const Outcome refused = run({"--check", hostile});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find(hostile + ": The table 'velmora_rotation' has an index on an expression; "
                                            "a picture data file holds a plain table\n"),
              std::string::npos)
        << refused.output;
    EXPECT_EQ(refused.output.find("integrity check"), std::string::npos) << refused.output;

    const Outcome missing = run({"--check", dir.file("missing.vlm")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("unable to open database file"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.vlm")));
    EXPECT_EQ(run({"--check"}).status, 2);
}

TEST(Backup, ConsistentWhileAWriterHasTheFileOpenAndNeverOntoAnExistingName) {
    TempDir dir;
    const std::string path = dir.file("pictures.vlm");
    createCollection(path, photos(5));

    // Another Velmora is in the middle of a write: the copy holds the committed pictures.
    OpenStore writer(path);
    writer.query.activate();
    writer.connection.beginTransaction();
    writer.query.append();
    writer.query.fieldByName("filename").setAsString("unfinished");
    writer.query.fieldByName("picture").writeBytes(shareBytes(tools::syntheticJpeg(64, 48, 9)));
    writer.query.post();
    const std::string copy = dir.file("copy.vlm");
    Outcome outcome = run({"--backup", path, copy});
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_EQ(namesInFile(copy), (std::vector<std::string>{"照片1", "照片2", "照片3", "照片4", "照片5"}));
    EXPECT_EQ(run({"--check", copy}).status, 0);
    writer.connection.commit();
    EXPECT_EQ(namesInFile(path).size(), 6u);

    // Onto an existing name: refused, the file there untouched.
    const std::string before = readFile(copy);
    outcome = run({"--backup", path, copy});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("copy.vlm"), std::string::npos) << outcome.errors;
    EXPECT_EQ(readFile(copy), before);
    // From a file that is not there: nothing made.
    EXPECT_EQ(run({"--backup", dir.file("missing.vlm"), dir.file("none.vlm")}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.vlm")));
    EXPECT_EQ(run({"--backup", path}).status, 2);
}

}  // namespace
}  // namespace velmora::test
