#include <gtest/gtest.h>

#include "platform/message_text.h"

namespace velmora::platform {
namespace {

TEST(ClosingFullStop, AddedAfterCharactersAboveFullStop) {
    EXPECT_EQ(withClosingFullStop("File not found"), "File not found.");
    EXPECT_EQ(withClosingFullStop("I/O error 145"), "I/O error 145.");
    EXPECT_EQ(withClosingFullStop("Invalid data type for 'FileName'"),
              "Invalid data type for 'FileName'");
    EXPECT_EQ(withClosingFullStop("path /"), "path /.");  // '/' sorts above '.'
    EXPECT_EQ(withClosingFullStop("JPEG error #53"), "JPEG error #53.");
}

TEST(ClosingFullStop, KeptAfterSignsBelowOrEqualFullStop) {
    for (const char* text : {"a ", "a!", "a'", "a)", "a-", "a.", "a,", "a\"", "a#"}) {
        EXPECT_EQ(withClosingFullStop(text), text) << text;
    }
    EXPECT_EQ(withClosingFullStop(""), "");
}

TEST(ClosingFullStop, MultiByteCharacterCountsAsOneAboveFullStop) {
    EXPECT_EQ(withClosingFullStop("没有图片源"), "没有图片源.");
    EXPECT_EQ(withClosingFullStop("当前没有可作为桌面的图片!"), "当前没有可作为桌面的图片!");
    EXPECT_EQ(withClosingFullStop("名称é"), "名称é.");
    EXPECT_EQ(withClosingFullStop("！"), "！.");  // a full-width sign is still above '.'
}

}  // namespace
}  // namespace velmora::platform
