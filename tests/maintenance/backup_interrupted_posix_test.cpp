// velmora --backup stopped mid-copy of a large collection: a signal that ends it leaves
// no temporary copy; after SIGKILL the next run removes it (never a live copy's, never
// another program's file); a writer that keeps the file locked makes it give up.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "base/error.h"
#include "cli/maintenance_cli.h"
#include "store/database/collection_copy.h"
#include "tests/support/temp_dir.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

int backup(const std::string& source, const std::string& target) {
    std::ostringstream out, err;
    return runMaintenance(parseMaintenanceOptions({"--backup", source, target}), out, err);
}

TEST(BackupInterrupted, LeavesNoTemporaryCopyAndGivesUpOnALockedFile) {
    TempDir dir;
    const std::string big = dir.file("big.vlm"), small = dir.file("small.vlm"), out = dir.file("out");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(big.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, ("ATTACH '" + small + "' AS small; CREATE TABLE small.pictures(filename TEXT, picture BLOB);"
                      "CREATE TABLE pictures(filename TEXT, picture BLOB); WITH n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                      "FROM n WHERE i < 64) INSERT INTO pictures SELECT 'p' || i, randomblob(1048576) FROM n").c_str(),
                 nullptr, nullptr, nullptr);
    fs::create_directory(out);
    writeFile(out + "/.vlm-abcdef", "not a copy");  // another program's file by a name like ours
    auto files = [&] {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(out)) names.insert(entry.path().filename().string());
        return names;
    };
    // A backup in a process of its own, stopped once its copy holds 8 MiB.
    auto midCopy = [&](const std::string& target) {
        const pid_t child = fork();
        if (child == 0) _exit(backup(big, target));
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (bool copying = false; !copying && std::chrono::steady_clock::now() < until;)
            for (const std::string& name : files()) {
                std::error_code gone;
                copying = copying || (fs::file_size(out + "/" + name, gone) >= (8u << 20) && !gone);
            }
        kill(child, SIGSTOP);
        return child;
    };
    auto end = [](pid_t child, int signal) {
        kill(child, signal);
        kill(child, SIGCONT);
        int status = 0;
        waitpid(child, &status, 0);
        return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
    };
    EXPECT_EQ(end(midCopy(out + "/a.vlm"), SIGTERM), SIGTERM);
    EXPECT_EQ(files(), std::set<std::string>{".vlm-abcdef"});
    const pid_t killed = midCopy(out + "/b.vlm");
    std::set<std::string> live = files();  // the copy, its journal, the foreign file
    EXPECT_EQ(backup(small, out + "/c.vlm"), 0);
    live.insert("c.vlm");
    EXPECT_EQ(files(), live) << "a live copy was taken for a leftover";
    EXPECT_EQ(end(killed, SIGKILL), SIGKILL);
    EXPECT_EQ(backup(small, out + "/d.vlm"), 0);
    EXPECT_EQ(files(), (std::set<std::string>{".vlm-abcdef", "c.vlm", "d.vlm"}));
    EXPECT_EQ(readFile(out + "/.vlm-abcdef"), "not a copy");

    sqlite3_exec(db, "BEGIN EXCLUSIVE; DELETE FROM small.pictures", nullptr, nullptr, nullptr);
    try {
        backupCollection(small, out + "/e.vlm", std::chrono::milliseconds(300));
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), small + " is locked: another program kept writing to it for 300 ms, and nothing was copied");
    }
    sqlite3_close(db);
    EXPECT_EQ(files(), (std::set<std::string>{".vlm-abcdef", "c.vlm", "d.vlm"}));
}

}  // namespace
}  // namespace velmora::test
