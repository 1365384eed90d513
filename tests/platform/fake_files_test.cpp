// The in-memory files other tests build on: the same codes as the real ones.

#include <gtest/gtest.h>

#include "tests/support/fake_files.h"
#include "base/system_error.h"

namespace velmora::platform {
namespace {

TEST(FakeFiles, KeepsWindowsSemanticsForDrivePathsHostPathsAndRelativeNames) {
    CallLog log;
    FakeFiles files(log);
    files.workingDirectory = "/home/u/pics";
    files.putFile("/home/u/pics/pictures.vlm", Bytes{1, 2});

    EXPECT_TRUE(files.copyFile("pictures.vlm", "相册.vlm", true));
    EXPECT_EQ(*files.fileContent("/home/u/pics/相册.vlm"), (Bytes{1, 2}));
    EXPECT_FALSE(files.copyFile("pictures.vlm", "相册.vlm", true));
    EXPECT_EQ(files.lastError(), kErrorFileExists);
    EXPECT_FALSE(files.copyFile("none.vlm", "x.vlm", true));
    EXPECT_EQ(files.lastError(), kErrorFileNotFound);
    EXPECT_FALSE(files.copyFile("pictures.vlm", "a?.vlm", true));
    EXPECT_EQ(files.lastError(), kErrorInvalidName);

    EXPECT_TRUE(files.createDirectory("C:\\A"));
    EXPECT_TRUE(files.createFile("c:\\a\\X.bmp", Bytes{}));
    EXPECT_EQ(files.list("C:\\A"), std::vector<std::string>{"X.bmp"});
    EXPECT_FALSE(files.removeDirectory("C:\\A"));
    EXPECT_EQ(files.lastError(), kErrorDirNotEmpty);
    EXPECT_FALSE(files.createFile("C:\\B\\x.bmp", Bytes{}));
    EXPECT_EQ(files.lastError(), kErrorPathNotFound);
    EXPECT_EQ(files.fileAttributes("C:\\"), kFileAttributeDirectory);
    EXPECT_EQ(log.calls.front(), "CopyFile(pictures.vlm, 相册.vlm) = ok");
}

}  // namespace
}  // namespace velmora::platform
