// Deleting into the trash, killed with SIGKILL at different moments: every picture is
// afterwards in exactly one of `pictures` and the trash, with its bytes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "tests/support/sqlite_peer.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

// What the delete command does to the store, over and over.
[[noreturn]] void deleteIntoTrash(const std::string& path) {
    int status = 0;
    try {
        OpenStore s(path);
        s.query.activate();
        while (s.query.recordCount() > 1) s.query.moveToTrash();
    } catch (...) {
        status = 1;
    }
    _exit(status);
}

TEST(TrashKilled, EveryPictureIsInExactlyOneOfPicturesAndTheTrash) {
    TempDir dir;
    constexpr int kPictures = 60;
    int finished = 0;
    for (int delayMs : {0, 2, 5, 10, 20, 40, 80, 3000}) {
        SCOPED_TRACE(delayMs);
        const std::string path = dir.file("killed" + std::to_string(delayMs) + ".vlm");
        std::vector<CollectionRecord> records;
        for (int i = 0; i < kPictures; ++i) {
            records.push_back({"p" + std::to_string(i), Bytes(40000 + i, static_cast<std::uint8_t>(i))});
        }
        createCollection(path, records);

        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) deleteIntoTrash(path);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << "the deleting itself failed";
        if (WIFEXITED(status)) ++finished;

        // Opened as the program opens it: a hot journal of the killed delete is rolled back.
        EXPECT_EQ(integrityOf(path), "ok");
        SqlitePeer peer(path);
        const bool hasTrash = peer.hasTable("velmora_trash");
        for (int i = 0; i < kPictures; ++i) {
            const std::string name = "'p" + std::to_string(i) + "'";
            // Each copy must carry the picture's own bytes.
            char byte[3];
            std::snprintf(byte, sizeof byte, "%02X", i);
            const std::string same = " WHERE filename = " + name + " AND length(picture) = " +
                                     std::to_string(40000 + i) + " AND replace(hex(picture), '" + byte + "', '') = ''";
            std::int64_t inPictures = peer.integer("SELECT count(*) FROM pictures" + same);
            std::int64_t inTrash = hasTrash ? peer.integer("SELECT count(*) FROM velmora_trash" + same) : 0;
            EXPECT_EQ(inPictures + inTrash, 1) << name;
        }
        EXPECT_GE(peer.integer("SELECT count(*) FROM pictures"), 1);
    }
    EXPECT_GE(finished, 1);  // the longest wait lets the deleting finish
}

}  // namespace
}  // namespace velmora::test
