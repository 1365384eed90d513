// Creating a file from a template of 1,000 pictures, killed with SIGKILL at different
// moments: the template never changes, and the new file is absent or a sound
// collection (the template's copy, or the emptied file).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "store/database/collection_copy.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

// What the new-file command does to the store: copy, open, delete every record.
[[noreturn]] void createEmptyCopy(const std::string& from, const std::string& to) {
    int status = 0;
    try {
        copyCollection(from, to);
        OpenStore s(to);
        s.query.activate();
        s.connection.beginTransaction();
        for (int i = s.query.recordCount(); i > 0; --i) s.query.remove();
        deleteAllPictures(s.connection);
        s.connection.commit();
    } catch (...) {
        status = 1;
    }
    _exit(status);
}

TEST(CreateKilled, TheTemplateStaysAndTheNewFileIsAbsentOrSound) {
    TempDir dir;
    std::string source = dir.file("pictures.vlm");
    std::vector<CollectionRecord> records;
    for (int i = 0; i < 1000; ++i) records.push_back({"p" + std::to_string(i), Bytes(1500, static_cast<std::uint8_t>(i))});
    createCollection(source, records);
    const std::string before = readFile(source);

    int absent = 0, copied = 0, emptied = 0;
    for (int delayMs : {0, 1, 2, 4, 8, 12, 16, 24, 32, 48, 64, 1000}) {
        SCOPED_TRACE(delayMs);
        std::string target = dir.file("new" + std::to_string(delayMs) + ".vlm");
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) createEmptyCopy(source, target);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << "the creation itself failed";

        EXPECT_EQ(readFile(source), before);
        if (!std::filesystem::exists(target)) {
            ++absent;
            continue;
        }
        // Opened as the program opens it: a hot journal of the killed creation is rolled back.
        OpenStore created(target);
        ASSERT_EQ(messageOf([&] { created.query.activate(); }), "<no error>");
        std::size_t count = static_cast<std::size_t>(created.query.recordCount());
        created.connection.close();
        EXPECT_EQ(integrityOf(target), "ok");
        EXPECT_TRUE(count == 0 || count == 1000) << count;
        ++(count == 0 ? emptied : copied);
    }
    // The longest wait lets the creation finish.
    EXPECT_GE(emptied, 1);
    std::cout << "absent " << absent << ", copied " << copied << ", emptied " << emptied << "\n";
}

}  // namespace
}  // namespace velmora::test
