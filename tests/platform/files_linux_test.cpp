#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/drive_folder.h"
#include "platform/files_linux.h"
#include "base/system_error.h"
#include "platform/windows_path.h"
#include "tests/platform/xdg_sandbox.h"
#include "tests/support/temp_dir.h"

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;

class DriveFiles : public ::testing::Test {
protected:
    Bytes bytes(const std::string& text) { return Bytes(text.begin(), text.end()); }
    fs::path onDisk(const std::string& relative) { return fs::path(sandbox.driveC()) / relative; }

    test::XdgSandbox sandbox;
    LinuxFiles files;
};

TEST(WindowsPathSyntax, ResolvesDotsWithoutClimbingAboveTheRoot) {
    WindowsPath path;
    ASSERT_EQ(parseWindowsPath("C:\\WINDOWS\\Web\\..\\..\\..\\x.bmp", path), 0u);
    EXPECT_EQ(path.text(), "C:\\x.bmp");
    ASSERT_EQ(parseWindowsPath("c:/a//./b\\", path), 0u);
    EXPECT_EQ(path.text(), "C:\\a\\b");
    ASSERT_EQ(parseWindowsPath("..\\x", path), 0u);
    EXPECT_EQ(path.text(), "..\\x");
}

TEST(WindowsPathSyntax, ReservedCharactersAreInvalidNames) {
    WindowsPath path;
    for (const char* bad : {"C:\\a?.bmp", "C:\\a*", "C:\\a<b", "C:\\a>b", "C:\\a|b", "C:\\a\"b",
                            "C:\\a:b", "C:\\a\tb", ""}) {
        EXPECT_EQ(parseWindowsPath(bad, path), kErrorInvalidName) << bad;
    }
    EXPECT_EQ(parseWindowsPath("C:\\图片 (1) #2.bmp", path), 0u);
}

TEST_F(DriveFiles, DriveCIsAFolderInTheDataFolder) {
    EXPECT_EQ(driveFolder('C'), sandbox.driveC());
    std::string host;
    ASSERT_EQ(hostPath("C:\\WINDOWS\\..\\..\\..\\etc\\passwd", host), 0u);
    EXPECT_EQ(host, sandbox.driveC() + "/etc/passwd");
    ASSERT_EQ(hostPath("/tmp\\x", host), 0u);
    EXPECT_EQ(host, "/tmp/x");
}

TEST_F(DriveFiles, FoldersAndFilesWithWindowsCodes) {
    EXPECT_FALSE(files.createDirectory("C:\\A\\B"));
    EXPECT_EQ(files.lastError(), kErrorPathNotFound);
    EXPECT_TRUE(files.createDirectory("C:\\A"));
    EXPECT_FALSE(files.createDirectory("C:\\a"));  // the same folder, other letter case
    EXPECT_EQ(files.lastError(), kErrorAlreadyExists);
    EXPECT_TRUE(files.createDirectory("c:\\a\\B"));
    EXPECT_TRUE(fs::is_directory(onDisk("A/B")));
    EXPECT_EQ(files.fileAttributes("C:\\A\\b"), kFileAttributeDirectory);

    ASSERT_TRUE(files.createFile("C:\\A\\B\\x.bmp", bytes("first")));
    ASSERT_TRUE(files.createFile("C:\\A\\B\\X.BMP", bytes("second")));  // replaces it
    EXPECT_EQ(test::readFile(onDisk("A/B/x.bmp")), "second");
    EXPECT_EQ(files.fileAttributes("C:\\A\\B\\x.bmp") & kFileAttributeDirectory, 0u);

    EXPECT_FALSE(files.removeDirectory("C:\\A\\B"));
    EXPECT_EQ(files.lastError(), kErrorDirNotEmpty);
    EXPECT_TRUE(files.deleteFile("C:\\A\\B\\x.bmp"));
    EXPECT_FALSE(files.deleteFile("C:\\A\\B\\x.bmp"));
    EXPECT_EQ(files.lastError(), kErrorFileNotFound);
    EXPECT_FALSE(files.deleteFile("C:\\A\\none\\x.bmp"));
    EXPECT_EQ(files.lastError(), kErrorPathNotFound);
    EXPECT_TRUE(files.removeDirectory("C:\\A\\B"));
    EXPECT_FALSE(files.removeDirectory("C:\\A\\B"));
    EXPECT_EQ(files.lastError(), kErrorFileNotFound);
    EXPECT_EQ(files.fileAttributes("C:\\A\\B"), kInvalidFileAttributes);
}

TEST_F(DriveFiles, InvalidNamesAndMissingFoldersFailCreation) {
    EXPECT_FALSE(files.createFile("C:\\a?.bmp", bytes("x")));
    EXPECT_EQ(files.lastError(), kErrorInvalidName);
    EXPECT_EQ(cannotCreateFileMessage("C:\\a?.bmp", files.lastError()),
              "Cannot create file \"C:\\a?.bmp\". The filename, directory name, or volume label "
              "syntax is incorrect");
    EXPECT_FALSE(files.createFile("C:\\missing\\a.bmp", bytes("x")));
    EXPECT_EQ(files.lastError(), kErrorPathNotFound);
    files.createDirectory("C:\\dir");
    EXPECT_FALSE(files.createFile("C:\\dir", bytes("x")));
    EXPECT_EQ(files.lastError(), kErrorAccessDenied);
    // Nothing but the folder made above: no file, no temporary leftovers.
    EXPECT_EQ(std::distance(fs::directory_iterator(sandbox.driveC()), fs::directory_iterator()), 1);
}

TEST_F(DriveFiles, CopyNeverReplacesWhenAsked) {
    test::TempDir dir;
    test::writeFile(dir.file("pictures.vlm"), "template");
    test::writeFile(dir.file("old.vlm"), "kept");
    EXPECT_TRUE(files.copyFile(dir.file("pictures.vlm"), dir.file("new.vlm"), true));
    EXPECT_EQ(test::readFile(dir.file("new.vlm")), "template");
    EXPECT_FALSE(files.copyFile(dir.file("pictures.vlm"), dir.file("old.vlm"), true));
    EXPECT_EQ(files.lastError(), kErrorFileExists);
    EXPECT_EQ(test::readFile(dir.file("old.vlm")), "kept");
    EXPECT_FALSE(files.copyFile(dir.file("none.vlm"), dir.file("other.vlm"), true));
    EXPECT_EQ(files.lastError(), kErrorFileNotFound);
    EXPECT_FALSE(fs::exists(dir.file("other.vlm")));
}

TEST_F(DriveFiles, CurrentDirectoryIsTheProcessWorkingDirectory) {
    EXPECT_EQ(files.currentDirectory(), fs::current_path().string());
    test::TempDir dir;
    fs::path before = fs::current_path();
    fs::current_path(dir.path());
    test::writeFile(dir.file("pictures.vlm"), "t");
    EXPECT_TRUE(files.copyFile("pictures.vlm", "相册.vlm", true));  // relative names
    fs::current_path(before);
    EXPECT_EQ(test::readFile(dir.file("相册.vlm")), "t");
}

}  // namespace
}  // namespace velmora::platform
