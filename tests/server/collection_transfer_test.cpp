// velmora --add and --copy-collection on files and servers: pictures named after their
// files, duplicates skipped and listed; a copy with every column, both ways, and nothing
// left behind by one that is killed; --check and --backup of a server.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "cli/collection_transfer.h"
#include "cli/maintenance_cli.h"
#include "store/server/open_collection.h"
#include "tests/server/collection_places.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

const std::vector<StoredColumn> kPlainColumns = {{"filename", ColumnKind::Text}, {"picture", ColumnKind::Bytes}};

std::vector<std::string> namesIn(const std::string& place) {
    std::vector<std::string> names;
    for (const StoredName& entry : openCollection(place)->names()) names.push_back(entry.name.value_or("<null>"));
    return names;
}

std::vector<std::string> rowsIn(const std::string& place) {
    std::vector<std::string> rows;
    openCollection(place)->eachRow([&](const std::vector<FieldValue>& values) {
        std::string line;
        for (const FieldValue& value : values) line += (value.isNull() ? "<null>" : value.asString()) + "|";
        rows.push_back(line);
    });
    return rows;
}

void writeBytes(const std::string& path, const Bytes& bytes) { writeFile(path, std::string(bytes.begin(), bytes.end())); }

// A collection file made as another program would: the template's table, a column of
// its own, and pictures of `size` random bytes.
std::string fileWithNotes(const std::string& path, int pictures, int size) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    const std::string sql = "CREATE TABLE pictures (filename TEXT, picture BLOB); ALTER TABLE pictures ADD note TEXT;"
                            "WITH n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(pictures) +
                            ") INSERT INTO pictures SELECT 'p' || i, randomblob(" + std::to_string(size) +
                            "), CASE i % 2 WHEN 0 THEN NULL ELSE 'note ' || i END FROM n";
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    return path;
}

using AddFromCommandLine = OnFileAndServer;

TEST_P(AddFromCommandLine, AddsNamedAfterFilesSkipsWhatIsStoredAndCountsFailures) {
    const std::string place = newPlace();
    const Bytes sky = tools::syntheticJpeg(64, 48, 1), sea = tools::syntheticJpeg(64, 48, 2);
    {
        std::unique_ptr<NewCollection> made = startCollection(place, kPlainColumns);
        made->insert({FieldValue{std::string("sky")}, FieldValue{shareBytes(sky)}});
        made->finish();
    }
    writeBytes(dir_.file("sky copy.jpg"), sky);
    writeBytes(dir_.file("sea.jpg"), sea);
    writeBytes(dir_.file("sea again.jpg"), sea);
    writeFile(dir_.file("broken.jpg"), "not a picture");

    std::ostringstream out, err;
    EXPECT_EQ(addPictures(place, {dir_.file("sky copy.jpg"), dir_.file("sea.jpg"), dir_.file("broken.jpg"),
                                  dir_.file("sea again.jpg")},
                          out, err),
              1);
    EXPECT_EQ(out.str(), "sky copy.jpg: stored already as sky, not added\nsea again.jpg: stored already as sea, not added\n");
    EXPECT_TRUE(err.str().starts_with("broken.jpg: JPEG error")) << err.str();
    EXPECT_EQ(namesIn(place), (std::vector<std::string>{"sky", "sea"}));

    std::ostringstream quiet;
    EXPECT_EQ(addPictures(place, {dir_.file("sea.jpg")}, quiet, quiet), 0);
    EXPECT_EQ(addPictures(place + "-missing.vlm", {dir_.file("sea.jpg")}, quiet, quiet), 1);
}

INSTANTIATE_TEST_SUITE_P(FileAndServer, AddFromCommandLine, ::testing::Values(Where::File, Where::Server), whereName);

TEST(CopyCollection, FromFileToServerAndBackEveryRowAndColumn) {
    VELMORA_REQUIRE_SERVER(server);
    TempDir dir;
    ServerDatabase database(*server);
    const std::string file = fileWithNotes(dir.file("album.vlm"), 3, 1000), back = dir.file("back.vlm");

    std::ostringstream out, err;
    EXPECT_EQ(copyCollectionTo(file, database.address(), out, err, true), 0) << err.str();
    EXPECT_NE(err.str().find("\rcopying 3 of 3 pictures, 0 MB"), std::string::npos) << err.str();
    EXPECT_EQ(database.run("SELECT string_agg(filename || ':' || coalesce(note, '-'), ',' ORDER BY velmora_key) FROM pictures"),
              "p1:note 1,p2:-,p3:note 3");
    EXPECT_EQ(copyCollectionTo(database.address(), back, out, err, false), 0) << err.str();
    EXPECT_EQ(rowsIn(back), rowsIn(file));
    EXPECT_EQ(out.str(), file + ": 3 pictures copied to " + database.address() + "\n" + database.address() +
                             ": 3 pictures copied to " + back + "\n");

    // --check and --backup take a server too; the report never shows the password.
    const std::string withPassword = "postgresql://" + server->admin + ":" + server->adminPassword + "@127.0.0.1:" +
                                     server->port + "/" + database.name();
    std::ostringstream report, none;
    EXPECT_EQ(runMaintenance(parseMaintenanceOptions({"--check", withPassword}), report, none), 1);
    EXPECT_NE(report.str().find(": picture 3 \"p3\": its JPEG header cannot be read"), std::string::npos) << report.str();
    EXPECT_EQ(report.str().find(server->adminPassword), std::string::npos) << report.str();
    EXPECT_EQ(runMaintenance(parseMaintenanceOptions({"--backup", withPassword, dir.file("backup.vlm")}), report, none), 0);
    EXPECT_EQ(rowsIn(dir.file("backup.vlm")), rowsIn(file));
}

TEST(CopyCollection, AKilledCopyLeavesNothingBehind) {
    VELMORA_REQUIRE_SERVER(server);
    TempDir dir, into;
    ServerDatabase database(*server);
    const std::string source = fileWithNotes(dir.file("big.vlm"), 96, 1 << 20);
    auto copyInChild = [&](const std::string& destination) {
        const pid_t child = fork();
        if (child == 0) {
            std::ostringstream out, err;
            _exit(runMaintenance(parseMaintenanceOptions({"--copy-collection", source, destination}), out, err));
        }
        return child;
    };
    auto until = [](const std::function<bool()>& done) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done() && std::chrono::steady_clock::now() < limit) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    auto endChild = [](pid_t child, int signal) {
        kill(child, signal);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status)) << "the copy ended before it was stopped";
    };

    // Into a server: killed while inserting, the transaction is gone with the connection.
    pid_t child = copyInChild(database.address());
    until([&] {
        return database.run("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database()"
                            " AND query LIKE 'INSERT INTO pictures%'") != "0";
    });
    endChild(child, SIGKILL);
    until([&] { return database.run("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database()") == "1"; });
    EXPECT_EQ(database.run("SELECT to_regclass('pictures') IS NULL"), "t");

    // Into a file: interrupted, the half-made file is removed.
    const std::string target = (into.path() / "copy.vlm").string();
    child = copyInChild(target);
    until([&] {
        for (const auto& entry : fs::directory_iterator(into.path())) {
            std::error_code gone;
            if (fs::file_size(entry.path(), gone) >= (4u << 20) && !gone) return true;
        }
        return false;
    });
    endChild(child, SIGINT);
    EXPECT_TRUE(fs::is_empty(into.path()));

    std::ostringstream out, err;
    EXPECT_EQ(copyCollectionTo(source, database.address(), out, err, false), 0) << err.str();
    EXPECT_EQ(namesIn(database.address()).size(), 96u);
}

}  // namespace
}  // namespace velmora::test
