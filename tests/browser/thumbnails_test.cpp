// The thumbnail window's rules, for both windows: the selection and the main window's
// cursor, the commands on several pictures, the filter, and rows other programs change.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "browser/thumbnail_form.h"
#include "tests/browser/browser_fixture.h"
#include "tests/support/sqlite_peer.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

class RecordingThumbnailView : public ThumbnailView {
public:
    void refreshThumbnails() override { ++refreshes; }
    void thumbnailsArrived() override { ++arrivals; }
    void revealRow(int row) override { revealed.push_back(row); }
    std::optional<std::string> chooseFolder(const std::string&) override { return folder; }
    int refreshes = 0, arrivals = 0;
    std::vector<int> revealed;
    std::optional<std::string> folder;
};

class Thumbnails : public BrowserTest {
protected:
    ThumbnailForm& openForm(const std::vector<std::string>& names) {
        openNames(names, 64, 48);
        browser->run(CommandId::Thumbnails);
        ThumbnailForm& form = browser->thumbnails();
        form.attach(&grid);
        return form;
    }
    // Shows every row and waits for their pictures.
    void showAll(ThumbnailForm& form) {
        form.showRows(0, form.rowCount() - 1);
        form.workerForTesting()->waitUntilIdle();
        view.runPosted();
    }
    std::vector<int> selected(ThumbnailForm& form) { return form.selectedRows(); }
    RecordingThumbnailView grid;
};

TEST_F(Thumbnails, SelectionAndTheMainWindowsCursorFollowEachOther) {
    ThumbnailForm& form = openForm({"A", "B", "C", "D", "E"});
    EXPECT_EQ(selected(form), std::vector<int>{0});
    showAll(form);
    for (int row = 0; row < 5; ++row) {
        ASSERT_NE(form.cell(row).picture, nullptr) << row;
        EXPECT_EQ(form.cell(row).picture->width(), 64);  // never enlarged
    }
    form.click(2);
    EXPECT_EQ(state(), "C prev next");
    form.click(4, true);  // Ctrl: added, and current
    EXPECT_EQ(selected(form), (std::vector<int>{2, 4}));
    EXPECT_EQ(view.name, "E");
    form.click(1, false, true);  // Shift: from the last click
    EXPECT_EQ(selected(form), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(view.name, "B");
    browser->run(CommandId::Previous);  // a move in the main window selects its picture alone
    EXPECT_EQ(selected(form), std::vector<int>{0});
    EXPECT_EQ(grid.revealed.back(), 0);
    form.selectAll();
    EXPECT_EQ(selected(form).size(), 5u);
    EXPECT_TRUE(form.larger());
    EXPECT_FALSE(form.larger());
    EXPECT_EQ(form.deviceEdge(), ThumbnailForm::kLargeEdge);
    form.setPixelRatio(2);
    EXPECT_EQ(form.deviceEdge(), 2 * ThumbnailForm::kLargeEdge);
}

TEST_F(Thumbnails, SeveralPicturesGoWithOneQuestionAndComeBackWithOneUndo) {
    ThumbnailForm& form = openForm({"A", "B", "C", "D", "E"});
    form.click(1);
    form.click(3, true);
    form.click(4, true);
    view.confirmAnswers = {false};
    form.deleteSelected();
    EXPECT_EQ(view.boxTexts(), "你真的要从数据库中删除选中的 3 张图片吗？");
    EXPECT_EQ(stored().size(), 5u);
    view.confirmAnswers = {true};
    form.deleteSelected();
    EXPECT_EQ(stored(), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(view.countText, "2   张");
    EXPECT_EQ(view.states.undoCaption, "撤销删除 3 张图片(&Z)");
    browser->run(CommandId::Undo);
    EXPECT_EQ(listed(), (std::vector<std::string>{"A", "C", "B", "D", "E"}));
    EXPECT_EQ(view.countText, "5   张");
    EXPECT_FALSE(view.states.undo);
    // Every picture at once: one is always kept, as with the delete button.
    form.selectAll();
    form.deleteSelected();
    EXPECT_EQ(view.boxes.back().text, texts().lastPictureNotDeleted);
    EXPECT_EQ(stored().size(), 5u);
}

TEST_F(Thumbnails, ExportRotationMarksAndWallpaperActOnTheSelection) {
    ThumbnailForm& form = openForm({"猫/1", "猫/1", "..", "D"});
    form.selectAll();
    grid.folder = dir.file("out");
    std::filesystem::create_directory(*grid.folder);
    form.exportSelected();
    std::vector<std::string> exported;
    for (const auto& entry : std::filesystem::directory_iterator(*grid.folder)) {
        const std::u8string name = entry.path().filename().u8string();
        exported.emplace_back(name.begin(), name.end());
    }
    std::sort(exported.begin(), exported.end());
    // Under their names, made safe for any folder, none replacing another.
    EXPECT_EQ(exported, (std::vector<std::string>{"3.jpg", "D.jpg", "猫_1 (2).jpg", "猫_1.jpg"}));
    const std::vector<Bytes> pictures = picturesInFile(dir.file("pictures.vlm"));
    EXPECT_EQ(readFile(dir.file("out/D.jpg")), std::string(pictures[3].begin(), pictures[3].end()));

    form.click(1);
    form.click(3, true);
    form.setLeftOut(true);
    EXPECT_FALSE(form.leftOut(0));
    EXPECT_TRUE(form.leftOut(1) && form.leftOut(3));
    form.setLeftOut(false);
    EXPECT_FALSE(form.leftOut(3));
    EXPECT_EQ(stored(), (std::vector<std::string>{"猫/1", "猫/1", "..", "D"}));  // `pictures` untouched

    form.click(3);
    form.setAsWallpaper();
    EXPECT_EQ(view.name, "D");
    EXPECT_TRUE(files.hasFile("C:\\WINDOWS\\Web\\Wallpaper\\myWallPaper\\D.bmp"));
}

TEST_F(Thumbnails, TheFilterNarrowsTheGridAndAnotherProgramsChangeIsNeverShownStale) {
    makeDefaultFile({{"猫1", tools::syntheticJpeg(64, 48, 0)}, {"狗", tools::syntheticJpeg(64, 48, 1)},
                     {"小猫", tools::syntheticJpeg(64, 48, 2)}, {"坏", Bytes{0xFF, 0xD8, 0xFF, 0x00}}});
    open();
    ThumbnailForm& form = browser->thumbnails();
    form.attach(&grid);
    showAll(form);
    EXPECT_TRUE(form.cell(3).failed);  // the placeholder, never another picture
    const Bitmap before = *form.cell(0).picture;

    SqlitePeer peer(dir.file("pictures.vlm"));
    std::string hex;
    char digits[3];
    for (std::uint8_t byte : tools::syntheticJpeg(64, 48, 7)) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        hex += digits;
    }
    peer.exec("UPDATE pictures SET picture=X'" + hex + "' WHERE rowid=1");
    form.showRows(0, 3);
    EXPECT_EQ(form.cell(0).picture, nullptr);  // dropped at once
    showAll(form);
    ASSERT_NE(form.cell(0).picture, nullptr);
    EXPECT_NE(*form.cell(0).picture, before);

    view.dialogAnswers.push_back({std::string("猫")});
    browser->run(CommandId::FilterByName);
    EXPECT_EQ(form.rowCount(), 2);
    EXPECT_EQ(form.name(1), "小猫");
    showAll(form);
    EXPECT_NE(form.cell(1).picture, nullptr);
}

}  // namespace
}  // namespace velmora::test
