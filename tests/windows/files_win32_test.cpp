#include <windows.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/system_error.h"
#include "base/utf16.h"
#include "platform/files_win32.h"
#include "store/imagefile/file_access.h"
#include "store/picture/jpeg_picture.h"
#include "tests/support/temp_dir.h"
#include "tools/synthetic_picture.h"

namespace velmora::platform {
namespace {

// The names in a folder, as the system lists them (UTF-8).
std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(toUtf16(folder)))
        names.push_back(fromUtf16(entry.path().filename().wstring()));
    return names;
}

Bytes withLineBreaks() {
    return {'a', '\n', 'b', '\r', '\n', 0x1A, 0, 0xFF, '\n'};
}

class WindowsFilesTest : public ::testing::Test {
protected:
    std::string at(const std::string& name) const { return dir.path().string() + "\\" + name; }

    test::TempDir dir;
    WindowsFiles files;
};

TEST_F(WindowsFilesTest, FoldersAndFilesFailWithTheSystemsCodes) {
    EXPECT_FALSE(files.createDirectory(at("a\\b")));
    EXPECT_EQ(files.lastError(), kErrorPathNotFound);
    ASSERT_TRUE(files.createDirectory(at("a")));
    EXPECT_TRUE(directoryExists(files, at("A")));
    EXPECT_FALSE(files.createDirectory(at("a")));
    EXPECT_EQ(files.lastError(), kErrorAlreadyExists);

    ASSERT_TRUE(files.createFile(at("a\\x.bmp"), withLineBreaks()));
    EXPECT_EQ(files.fileAttributes(at("a\\x.bmp")) & kFileAttributeDirectory, 0u);
    EXPECT_FALSE(files.removeDirectory(at("a")));
    EXPECT_EQ(files.lastError(), kErrorDirNotEmpty);
    EXPECT_FALSE(files.createFile(at("missing\\x.bmp"), {}));
    EXPECT_EQ(files.lastError(), kErrorPathNotFound);
    EXPECT_FALSE(files.createFile(at("a\\what?.bmp"), {}));
    EXPECT_EQ(files.lastError(), kErrorInvalidName);
    EXPECT_FALSE(files.createFile(at("a"), {}));  // a folder is never replaced
    EXPECT_EQ(files.lastError(), kErrorAccessDenied);

    ASSERT_TRUE(files.copyFile(at("a\\x.bmp"), at("copy.bmp"), true));
    EXPECT_FALSE(files.copyFile(at("a\\x.bmp"), at("copy.bmp"), true));
    EXPECT_EQ(files.lastError(), kErrorFileExists);

    ASSERT_TRUE(files.deleteFile(at("a\\x.bmp")));
    EXPECT_FALSE(files.deleteFile(at("a\\x.bmp")));
    EXPECT_EQ(files.lastError(), kErrorFileNotFound);
    ASSERT_TRUE(files.removeDirectory(at("a")));
    EXPECT_FALSE(files.removeDirectory(at("a")));
    EXPECT_EQ(files.lastError(), kErrorFileNotFound);
    EXPECT_EQ(files.fileAttributes(at("a")), kInvalidFileAttributes);
    EXPECT_FALSE(files.currentDirectory().empty());
}

TEST_F(WindowsFilesTest, WritesAreBinaryAtomicAndTakeChineseNames) {
    const std::string chinese = at("\xE5\x9B\xBE\xE7\x89\x87 1.bmp");  // 图片 1.bmp
    ASSERT_TRUE(files.createFile(chinese, {1, 2, 3}));
    ASSERT_TRUE(files.createFile(chinese, withLineBreaks()));  // replaces
    EXPECT_EQ(readFileBytes(chinese), withLineBreaks());
    EXPECT_EQ(namesIn(dir.path().string()), std::vector<std::string>{"\xE5\x9B\xBE\xE7\x89\x87 1.bmp"});

    writeFileReplacing(at("out.bin"), withLineBreaks());
    InputFile input(at("out.bin"));
    EXPECT_EQ(input.size(), withLineBreaks().size());
    std::uint8_t tail[4] = {};
    EXPECT_EQ(input.readAt(7, tail, sizeof tail), 2u);
    EXPECT_EQ(tail[0], 0xFF);
    EXPECT_EQ(tail[1], '\n');

    // A JPEG is full of 0x0A bytes: saved byte for byte, under a Chinese name too.
    JpegPicture picture;
    picture.loadData(shareBytes(tools::syntheticJpeg(64, 48)));
    const std::string jpeg = at("\xE6\x97\xA5\xE8\x90\xBD.jpg");
    picture.saveToFile(jpeg);
    EXPECT_EQ(readFileBytes(jpeg), *picture.jpegData());
    EXPECT_EQ(namesIn(dir.path().string()).size(), 3u);  // nothing temporary left
}

TEST_F(WindowsFilesTest, FailuresCarryTheSystemsTexts) {
    const std::string missing = at("none\\x.jpg");
    try {
        readFileBytes(missing);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), cannotOpenFileMessage(missing, kErrorPathNotFound));
    }
    try {
        readFileBytes(dir.path().string());  // a folder is never read
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), cannotOpenFileMessage(dir.path().string(), kErrorAccessDenied));
    }
    JpegPicture picture;
    picture.loadData(shareBytes(tools::syntheticJpeg(8, 8)));
    EXPECT_THROW(picture.saveToFile(missing), Error);

    // FormatMessage's texts, without the closing full stop and line break.
    for (unsigned code : {2u, 3u, 5u, 123u, 145u}) {
        const std::string text = win32ErrorText(code);
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.back(), '.') << code;
        EXPECT_GT(static_cast<unsigned char>(text.back()), ' ') << code;
        EXPECT_EQ(text.find("Unknown error"), std::string::npos) << code;
    }
}

}  // namespace
}  // namespace velmora::platform
