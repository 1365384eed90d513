// Deleting, cutting, copying, renaming and saving the current picture.
#include "base/system_error.h"
#include "store/picture/jpeg_picture.h"
#include "tests/browser/browser_fixture.h"
#include "tests/support/sqlite_peer.h"

namespace velmora::test {
namespace {

class Removing : public BrowserTest {
protected:
    void filter(const std::string& text) {
        view.dialogAnswers.push_back({text});
        browser->filterByName();
    }
    Bitmap decoded(int index) {
        JpegPicture picture;
        picture.loadData(shareBytes(storedPictures()[static_cast<std::size_t>(index)]));
        return picture.bitmap().toBgr24();
    }
};

using RemovingOnBoth = OnBoth<Removing>;

TEST_P(RemovingOnBoth, DeletingTheSecondOfTwoShowsTheFirstWithBothButtonsOn) {
    CollectionBrowser& b = openNames({"A", "B"});
    b.next();
    view.confirmAnswers.push_back(true);
    b.run(CommandId::Delete);
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].kind, BoxKind::Confirm);
    EXPECT_EQ(view.boxes[0].text, "你真的要从数据库中删除此图片吗？");
    EXPECT_EQ(stored(), std::vector<std::string>{"A"});
    EXPECT_EQ(shownBytes(), storedPictures()[0]);
    EXPECT_EQ(view.countText, "1   张");
    // After a delete neither end flag of the cursor is set.
    EXPECT_EQ(state(), "A prev next");
}

TEST_P(RemovingOnBoth, DeletingTheFirstOfThreeShowsTheFormerSecond) {
    CollectionBrowser& b = openNames({"A", "B", "C"});
    view.confirmAnswers.push_back(true);
    b.deletePicture();
    EXPECT_EQ(stored(), (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(view.name, "B");
    EXPECT_EQ(shownBytes(), storedPictures()[0]);
}

TEST_P(RemovingOnBoth, RefusalsAndCancelsChangeNothing) {
    struct Case {
        const char* what;
        const char* filter;  // nullptr: none
        CommandId command;
        std::optional<bool> answer;  // the confirmation's, when one is asked
        const char* box;
    };
    const Case cases[] = {
        {"delete, no picture", "nothing matches", CommandId::Delete, {}, "当前没有可删除的图片"},
        {"cut, no picture", "nothing matches", CommandId::Cut, {}, "当前没有可剪切的图片!"},
        {"copy, no picture", "nothing matches", CommandId::Copy, {}, "当前没有可复制的图片!"},
        {"rename, no picture", "nothing matches", CommandId::Rename, {}, "当前没有可命名的图片！"},
        {"save, no picture", "nothing matches", CommandId::Save, {}, "当前没有可保存的图片"},
        {"view, no picture", "nothing matches", CommandId::None, {}, "没有可查看的图片"},
        {"delete, last of the filter", "狗", CommandId::Delete, {}, "数据库中至少要保留一张图片，你不能删除此图!"},
        {"cut, last of the filter", "狗", CommandId::Cut, {}, "数据库中至少要保留一张图片，你不能剪切此图!"},
        {"delete cancelled", nullptr, CommandId::Delete, false, "你真的要从数据库中删除此图片吗？"},
        {"cut cancelled", nullptr, CommandId::Cut, false, "剪切的图片将在数据库中删除，确实要删除此图片吗？"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        openNames({"猫", "狗", "鸟"});
        if (c.filter) filter(c.filter);
        view.boxes.clear();
        if (c.answer) view.confirmAnswers.push_back(*c.answer);
        c.command == CommandId::None ? browser->openViewer() : browser->run(c.command);
        ASSERT_EQ(view.boxes.size(), 1u);
        EXPECT_EQ(view.boxes[0].text, c.box);
        EXPECT_EQ(view.boxes[0].kind, c.answer ? BoxKind::Confirm : BoxKind::Condition);
        EXPECT_EQ(stored().size(), 3u);
        EXPECT_EQ(view.countText, "3   张");
        EXPECT_FALSE(clipboard.heldBitmap());
        EXPECT_TRUE(view.dialogs.size() == (c.filter ? 1u : 0u) && view.fileDialogs.empty() && view.viewers.empty());
        view.dialogs.clear();
        EXPECT_EQ(view.unexpected, 0);
        browser.reset();
        std::filesystem::remove(dir.file("pictures.vlm"));
    }
}

TEST_P(RemovingOnBoth, DeletingUnderAFilterLowersThePictureCount) {
    std::vector<std::string> names;
    for (int i = 0; i < 10; ++i) names.push_back((i % 3 == 0 ? "猫" : "狗") + std::to_string(i));
    CollectionBrowser& b = openNames(names);
    filter("猫");
    EXPECT_EQ(b.queryForTesting().recordCount(), 4);
    view.confirmAnswers.push_back(true);
    b.deletePicture();
    EXPECT_EQ(view.countText, "9   张");
}

TEST_P(RemovingOnBoth, CutPutsTheRemovedPictureOnTheClipboardWhileTheNextShows) {
    CollectionBrowser& b = openNames({"A", "B", "C"});
    const Bitmap expected = decoded(0);
    view.confirmAnswers.push_back(true);
    b.cut();
    ASSERT_TRUE(clipboard.heldBitmap());
    EXPECT_EQ(clipboard.heldBitmap()->toBgr24(), expected);
    EXPECT_EQ(view.name, "B");
    EXPECT_EQ(stored(), (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(view.countText, "2   张");
}

TEST_P(RemovingOnBoth, CutOrCopyOfAPictureThatCannotBeDecodedChangesNothing) {
    // The first picture has no quantization tables; the second is a good photo.
    auto records = pictureRecords({"broken", "good"}, 1024, 768);
    records[0].picture = withoutQuantizationTables(records[0].picture);
    makeCollection(records);
    CollectionBrowser& b = open();
    b.next();
    b.previous();  // back on the broken one, after the good one was shown
    ASSERT_EQ(view.name, "broken");
    clipboard.offerText("kept");
    view.boxes.clear();

    b.copy();
    view.confirmAnswers.push_back(true);
    b.cut();
    ASSERT_EQ(view.boxes.size(), 3u);
    EXPECT_EQ(view.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(view.boxes[0].text.rfind("JPEG error #", 0), 0u) << view.boxes[0].text;
    EXPECT_EQ(view.boxes[1].kind, BoxKind::Confirm);
    EXPECT_EQ(view.boxes[2].text, view.boxes[0].text);
    EXPECT_FALSE(clipboard.heldBitmap());
    EXPECT_EQ(clipboard.heldText(), "kept");
    EXPECT_EQ(stored(), (std::vector<std::string>{"broken", "good"}));
    EXPECT_EQ(view.countText, "2   张");
    EXPECT_EQ(view.name, "broken");
}

// Decoded, deleted, then on the clipboard; a clipboard that refuses takes the delete back.
TEST_F(Removing, CutWritesTheClipboardAfterTheDeleteAndARefusingOnePutsThePictureBack) {
    CollectionBrowser& b = openNames({"A", "B", "C"});
    SqlitePeer other(dir.file("pictures.vlm"));
    const std::vector<std::string> rows = other.pictureRows();
    b.next();
    const Bytes shown = shownBytes();
    std::vector<std::vector<std::string>> rowsAtClipboard;
    clipboard.onOpen = [&] { rowsAtClipboard.push_back(other.pictureRows()); };
    clipboard.setLocked(true);
    view.confirmAnswers.push_back(true);
    b.cut();
    ASSERT_EQ(rowsAtClipboard.size(), 1u);
    EXPECT_EQ(rowsAtClipboard[0], (std::vector<std::string>{rows[0], rows[2]}));
    ASSERT_EQ(view.boxes.size(), 2u);
    EXPECT_EQ(view.boxes[1].text, "Cannot open clipboard.");
    EXPECT_EQ(other.pictureRows(), rows);
    EXPECT_EQ(other.integer("SELECT count(*) FROM velmora_trash"), 0);
    EXPECT_EQ(listed(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(state(), "B prev next");
    EXPECT_EQ(shownBytes(), shown);
    EXPECT_EQ(view.countText, "3   张");
    EXPECT_FALSE(view.states.undo);

    // Once the clipboard takes it, the cut stands.
    clipboard.setLocked(false);
    view.confirmAnswers.push_back(true);
    b.cut();
    EXPECT_EQ(rowsAtClipboard.back(), (std::vector<std::string>{rows[0], rows[2]}));
    EXPECT_EQ(clipboard.calls().back(), "setBitmap");
    EXPECT_EQ(stored(), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(view.countText, "2   张");
}

TEST_P(RemovingOnBoth, CopyPutsTheCurrentPictureOnTheClipboardAndLeavesFileAndDisplay) {
    CollectionBrowser& b = openNames({"A", "B"});
    b.next();
    const Bytes shown = shownBytes();
    b.copy();
    ASSERT_TRUE(clipboard.heldBitmap());
    EXPECT_EQ(clipboard.heldBitmap()->toBgr24(), decoded(1));
    EXPECT_EQ(shownBytes(), shown);
    EXPECT_EQ(stored().size(), 2u);
}

TEST_P(RemovingOnBoth, RenameOffersNewNameStoresAnyTextAndKeepsTheRecordInTheFilteredList) {
    CollectionBrowser& b = openNames({"猫1", "小猫", "狗"});
    view.dialogAnswers.push_back({""});
    b.rename();
    ASSERT_EQ(view.dialogs.size(), 1u);
    EXPECT_EQ(view.dialogs[0].kind, NameDialogKind::Rename);
    EXPECT_EQ(view.dialogs[0].offered, "新名字");
    EXPECT_EQ(stored(), (std::vector<std::string>{"", "小猫", "狗"}));
    EXPECT_EQ(view.name, "");
    view.dialogAnswers.push_back({"x", false});
    b.rename();
    EXPECT_EQ(stored(), (std::vector<std::string>{"", "小猫", "狗"}));

    filter("猫");
    view.dialogAnswers.push_back({"狼"});
    b.rename();
    EXPECT_EQ(listed(), (std::vector<std::string>{"狼"}));
    EXPECT_EQ(view.unexpected, 0);
}

TEST_P(RemovingOnBoth, SavesWithoutExtensionGetTheDefaultOnlyTheFirstTime) {
    CollectionBrowser& b = openNames({"A", "B"});
    view.fileAnswers.push_back({dir.file("first")});
    b.save();
    view.fileAnswers.push_back({dir.file("second")});
    b.save();
    const Bytes expected = storedPictures()[0];
    EXPECT_EQ(readFile(dir.file("first.jpg")), std::string(expected.begin(), expected.end()));
    EXPECT_EQ(readFile(dir.file("second")), std::string(expected.begin(), expected.end()));
    ASSERT_EQ(view.fileDialogs.size(), 2u);
    EXPECT_EQ(view.fileDialogs[0].defaultExt, ".jpg");
    EXPECT_TRUE(view.fileDialogs[0].overwritePrompt);
    EXPECT_EQ(view.fileDialogs[1].defaultExt, "");
    EXPECT_EQ(view.fileDialogs[1].filter,
              "All (*.jpg;*.jpeg)|*.jpg;*.jpeg|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg");
}

TEST_P(RemovingOnBoth, ASaveThatCannotCreateItsFileKeepsTheDialogSettings) {
    CollectionBrowser& b = openNames({"A"});
    view.fileAnswers.push_back({(dir.path() / "missing-folder" / "x.jpg").string()});
    b.save();
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text.rfind("Cannot create file \"", 0), 0u) << view.boxes[0].text;
    // A folder that does not exist is "path not found", not "file not found", in the system's words.
    EXPECT_NE(view.boxes[0].text.find(win32ErrorText(kErrorPathNotFound)), std::string::npos) << view.boxes[0].text;
    EXPECT_EQ(b.saveDialogSettings().defaultExt, ".jpg");
}

VELMORA_ON_FILE_AND_SERVER(RemovingOnBoth);

}  // namespace
}  // namespace velmora::test
