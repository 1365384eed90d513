// Real processes: a writer killed mid-flight loses nothing it reported posted, and
// two writers appending to one file at once lose nothing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <set>

#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

// Appends records named prefix + number; after each post returns, writes the
// number to `ackFd` (when >= 0). Never returns.
[[noreturn]] void appendForever(const std::string& path, const std::string& prefix, int count, int ackFd) {
    int status = 0;
    try {
        OpenStore s(path);
        s.query.activate();
        for (int i = 0; count < 0 || i < count; ++i) {
            s.query.append();
            s.query.fieldByName("filename").setAsString(prefix + std::to_string(i));
            s.query.fieldByName("picture").writeBytes(shareBytes(Bytes(2048, static_cast<std::uint8_t>(i))));
            s.query.post();
            if (ackFd >= 0 && write(ackFd, &i, sizeof i) != sizeof i) break;
        }
    } catch (...) {
        status = 1;
    }
    _exit(status);
}

TEST(Durability, AWriterKilledWithSigkillLosesNoPostedRecord) {
    TempDir dir;
    std::string path = dir.file("p.vlm");
    createCollection(path, {});
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeFds[0]);
        appendForever(path, "rec", -1, pipeFds[1]);
    }
    close(pipeFds[1]);
    std::set<int> acknowledged;
    int number = 0;
    while (acknowledged.size() < 40 && read(pipeFds[0], &number, sizeof number) == sizeof number) {
        acknowledged.insert(number);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    while (read(pipeFds[0], &number, sizeof number) == sizeof number) acknowledged.insert(number);
    close(pipeFds[0]);

    EXPECT_EQ(integrityOf(path), "ok");
    auto names = namesInFile(path);
    std::set<std::string> stored(names.begin(), names.end());
    for (int i : acknowledged) EXPECT_TRUE(stored.count("rec" + std::to_string(i))) << "lost rec" << i;
    EXPECT_GE(names.size(), acknowledged.size());

    OpenStore reopened(path);
    reopened.query.activate();
    EXPECT_EQ(reopened.query.recordCount(), static_cast<int>(names.size()));
}

TEST(Durability, TwoProcessesAppendingAtOnceLoseNothing) {
    TempDir dir;
    std::string path = dir.file("p.vlm");
    createCollection(path, {});
    const int each = 60;
    pid_t first = fork();
    if (first == 0) appendForever(path, "a", each, -1);
    pid_t second = fork();
    if (second == 0) appendForever(path, "b", each, -1);
    int status1 = 0, status2 = 0;
    waitpid(first, &status1, 0);
    waitpid(second, &status2, 0);
    EXPECT_EQ(WEXITSTATUS(status1), 0);
    EXPECT_EQ(WEXITSTATUS(status2), 0);
    auto names = namesInFile(path);
    EXPECT_EQ(names.size(), 2u * each);
    std::set<std::string> stored(names.begin(), names.end());
    for (int i = 0; i < each; ++i) {
        EXPECT_TRUE(stored.count("a" + std::to_string(i)));
        EXPECT_TRUE(stored.count("b" + std::to_string(i)));
    }
    EXPECT_EQ(integrityOf(path), "ok");
}

}  // namespace
}  // namespace velmora::test
