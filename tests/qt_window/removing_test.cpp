// Deleting, cutting, copying, renaming and saving the current picture.
#include "browser/filter_dialog.h"
#include "store/picture/jpeg_picture.h"
#include "tests/gui_support/browser_fixture.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

class Removing : public BrowserTest {
protected:
    MainWindow& openNames(const std::vector<std::string>& names) {
        makeDefaultFile(pictureRecords(names, 48, 32));
        return openWindow();
    }
    std::vector<std::string> stored() { return namesInFile(dir.file("pictures.vlm")); }
    void filter(MainWindow& f, const std::string& text) {
        f.pictures.setSql(kFilterStatement, {text});
        f.pictures.open();
    }
    SharedBytes storedPicture(int index) { return shareBytes(picturesInFile(dir.file("pictures.vlm"))[index]); }
};

TEST_F(Removing, DeletingTheSecondOfTwoShowsTheFirst) {
    MainWindow& f = openNames({"A", "B"});
    f.nextButton->click();
    modals.answerBox("OK");
    f.deleteButton->click();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].kind, "ConfirmBox");
    EXPECT_EQ(modals.seen[0].title, "Confirm");
    EXPECT_EQ(modals.seen[0].text, "你真的要从数据库中删除此图片吗？");
    EXPECT_EQ(stored(), std::vector<std::string>{"A"});
    EXPECT_EQ(f.nameLabel->text(), "A");
    EXPECT_EQ(*f.pictureView->picture().jpegData(), *storedPicture(0));
    EXPECT_EQ(f.countLabel->text().toStdString(), "1   张");
    EXPECT_TRUE(f.previousButton->isEnabled());
    EXPECT_TRUE(f.nextButton->isEnabled());
}

TEST_F(Removing, DeletingTheFirstOfThreeShowsTheFormerSecond) {
    MainWindow& f = openNames({"A", "B", "C"});
    modals.answerBox("OK");
    f.deleteAction->trigger();
    EXPECT_EQ(stored(), (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(f.nameLabel->text(), "B");
    EXPECT_EQ(*f.pictureView->picture().jpegData(), *storedPicture(0));
}

TEST_F(Removing, TheLastRecordOfTheResultSetIsNeverRemoved) {
    MainWindow& f = openNames({"猫", "狗", "鸟"});
    filter(f, "狗");
    modals.answerBox();
    f.deleteAction->trigger();
    modals.answerBox();
    f.cutAction->trigger();
    ASSERT_EQ(modals.seen.size(), 2u);
    EXPECT_EQ(modals.seen[0].text, "数据库中至少要保留一张图片，你不能删除此图!");
    EXPECT_EQ(modals.seen[1].text, "数据库中至少要保留一张图片，你不能剪切此图!");
    EXPECT_EQ(stored().size(), 3u);
    EXPECT_FALSE(clipboard.heldBitmap());
}

TEST_F(Removing, DeletingUnderAFilterLowersThePictureCount) {
    std::vector<std::string> names;
    for (int i = 0; i < 10; ++i) names.push_back((i % 3 == 0 ? "猫" : "狗") + std::to_string(i));
    MainWindow& f = openNames(names);
    filter(f, "猫");
    EXPECT_EQ(f.pictures.recordCount(), 4);
    modals.answerBox("OK");
    f.deleteAction->trigger();
    EXPECT_EQ(f.countLabel->text().toStdString(), "9   张");
}

TEST_F(Removing, CancelledConfirmationsChangeNothing) {
    MainWindow& f = openNames({"A", "B"});
    modals.answerBox("Cancel");
    f.deleteAction->trigger();
    modals.escapeBox();
    f.cutAction->trigger();
    EXPECT_EQ(modals.seen.size(), 2u);
    EXPECT_EQ(stored().size(), 2u);
    EXPECT_EQ(f.countLabel->text().toStdString(), "2   张");
    EXPECT_FALSE(clipboard.heldBitmap());
}

TEST_F(Removing, CutPutsTheRemovedPictureOnTheClipboardWhileTheNextShows) {
    MainWindow& f = openNames({"A", "B", "C"});
    JpegPicture removed;
    removed.loadData(storedPicture(0));
    const Bitmap& expected = removed.bitmap();
    modals.answerBox("OK");
    f.cutAction->trigger();
    ASSERT_TRUE(clipboard.heldBitmap());
    EXPECT_EQ(clipboard.heldBitmap()->toBgr24(), expected.toBgr24());
    EXPECT_EQ(f.nameLabel->text(), "B");
    EXPECT_EQ(stored(), (std::vector<std::string>{"B", "C"}));
    EXPECT_EQ(f.countLabel->text().toStdString(), "2   张");
}

TEST_F(Removing, ACutWhoseClipboardCopyFailsDeletesNothing) {
    MainWindow& f = openNames({"A", "B"});
    clipboard.setLocked(true);
    modals.answerBox("OK");
    modals.answerBox();
    f.cutAction->trigger();
    ASSERT_EQ(modals.seen.size(), 2u);
    EXPECT_EQ(modals.seen[1].text, "Cannot open clipboard.");
    EXPECT_EQ(stored(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(f.nameLabel->text(), "A");
    EXPECT_EQ(f.countLabel->text().toStdString(), "2   张");
}

TEST_F(Removing, CopyLeavesFileAndDisplayAlone) {
    MainWindow& f = openNames({"A", "B"});
    SharedBytes shown = f.pictureView->picture().jpegData();
    f.copyAction->trigger();
    ASSERT_TRUE(clipboard.heldBitmap());
    EXPECT_EQ(clipboard.heldBitmap()->width(), 48);
    EXPECT_EQ(f.pictureView->picture().jpegData(), shown);
    EXPECT_EQ(stored().size(), 2u);
}

TEST_F(Removing, RenameOffersNewNameAndStoresAnyText) {
    MainWindow& f = openNames({"A", "B"});
    QString offered;
    confirmDialog(modals, QString(""), &offered);
    f.renameAction->trigger();
    EXPECT_EQ(offered, "新名字");
    EXPECT_EQ(stored(), (std::vector<std::string>{"", "B"}));
    EXPECT_EQ(f.nameLabel->text(), "");
    cancelDialog(modals);
    f.renameAction->trigger();
    EXPECT_EQ(stored(), (std::vector<std::string>{"", "B"}));
}

TEST_F(Removing, ARenamedRecordStaysInTheFilteredList) {
    MainWindow& f = openNames({"猫1", "小猫", "狗"});
    filter(f, "猫");
    confirmDialog(modals, QString("狼"));
    f.renameAction->trigger();
    EXPECT_EQ(f.pictures.recordCount(), 2);
    EXPECT_EQ(f.nameList->model()->data(f.nameList->model()->index(0, 0)).toString(), "狼");
}

TEST_F(Removing, SavesWithoutExtensionGetTheDefaultOnlyTheFirstTime) {
    MainWindow& f = openNames({"A", "B"});
    dialogs.answers.push_back(dir.file("first"));
    f.saveAction->trigger();
    dialogs.answers.push_back(dir.file("second"));
    f.saveAction->trigger();
    std::string first = readFile(dir.file("first.jpg"));
    std::string second = readFile(dir.file("second"));
    Bytes expected = picturesInFile(dir.file("pictures.vlm"))[0];
    EXPECT_EQ(first, std::string(expected.begin(), expected.end()));
    EXPECT_EQ(second, first);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].defaultExt, ".jpg");
    EXPECT_EQ(dialogs.shown[1].defaultExt, "");
    EXPECT_EQ(dialogs.shown[1].filter,
              "All (*.jpg;*.jpeg)|*.jpg;*.jpeg|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg");
}

TEST_F(Removing, ASaveThatCannotCreateItsFileKeepsTheDialogSettings) {
    MainWindow& f = openNames({"A"});
    dialogs.answers.push_back(dir.file("missing-folder/x.jpg"));
    modals.answerBox();
    f.saveAction->trigger();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_TRUE(modals.seen[0].text.startsWith("Cannot create file \"")) << modals.seen[0].text.toStdString();
    // A folder that does not exist is "path not found", not "file not found".
    EXPECT_TRUE(modals.seen[0].text.endsWith("The system cannot find the path specified."))
        << modals.seen[0].text.toStdString();
    EXPECT_EQ(f.savePictureDialog.defaultExt, ".jpg");
}

TEST_F(Removing, EveryCommandRefusesWhenThereIsNoPicture) {
    MainWindow& f = openNames({"猫"});
    filter(f, "nothing matches");
    for (QAction* action : {f.deleteAction, f.cutAction, f.copyAction, f.renameAction, f.saveAction}) {
        modals.answerBox();
        action->trigger();
    }
    QStringList texts;
    for (const auto& box : modals.seen) texts << box.text;
    EXPECT_EQ(texts.join("|").toStdString(),
              "当前没有可删除的图片|当前没有可剪切的图片!|当前没有可复制的图片!|当前没有可命名的图片！|当前没有可保存的图片");
}

}  // namespace
}  // namespace velmora::test
