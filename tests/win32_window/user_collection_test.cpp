// The per-user collection of a Start-menu start: made empty the first time, never replaced.
#include <windows.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "base/utf16.h"
#include "cli/user_collection_win32.h"
#include "store/database/collection_file.h"
#include "tests/support/store_fixture.h"
#include "tests/support/temp_dir.h"

namespace velmora::win32 {
namespace {

TEST(UserCollection, IsMadeEmptyOnceAndThenKept) {
    EXPECT_NE(userCollectionFolder().find("\\Velmora"), std::string::npos);
    test::TempDir dir;
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    // Two levels to make, one of them Chinese (用户); kept UTF-8 past std::filesystem.
    const std::string folder = dir.file("home") + "\\\xE7\x94\xA8\xE6\x88\xB7\\Velmora";
    enterUserCollection(folder);
    EXPECT_TRUE(test::namesInFile(folder + "\\pictures.vlm").empty());
    appendRecords(folder + "\\pictures.vlm", {{"kept", Bytes{1, 2, 3}}});
    enterUserCollection(folder);
    EXPECT_EQ(test::namesInFile(folder + "\\pictures.vlm"), std::vector<std::string>{"kept"});
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_EQ(fromUtf16(current), folder);
    SetCurrentDirectoryW(previous);
}

}  // namespace
}  // namespace velmora::win32
