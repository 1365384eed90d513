// The name filter, opening other picture data files and creating new ones.
#include <QDir>
#include <QFileInfo>

#include "tests/gui_support/browser_fixture.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {
namespace {

class FilterAndFiles : public BrowserTest {
protected:
    MainWindow& openNames(const std::vector<std::string>& names) {
        makeDefaultFile(pictureRecords(names, 40, 30));
        return openWindow();
    }
    QStringList listed() {
        QStringList names;
        auto* model = form->nameList->model();
        for (int row = 0; row < model->rowCount(); ++row) names << model->data(model->index(row, 0)).toString();
        return names;
    }
    void filterBy(std::optional<QString> text) {
        confirmDialog(modals, std::move(text));
        form->filterByNameAction->trigger();
    }
};

TEST_F(FilterAndFiles, FilteringByTheUntouchedTextMatchesNothing) {
    MainWindow& f = openNames({"猫1", "小猫", "狗"});
    QString offered;
    confirmDialog(modals, std::nullopt, &offered);
    f.filterByNameAction->trigger();
    EXPECT_EQ(offered, "输入过滤文字");
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_FALSE(f.pictureView->hasPicture());
    EXPECT_FALSE(f.previousButton->isEnabled());
    EXPECT_FALSE(f.nextButton->isEnabled());
    EXPECT_EQ(f.countLabel->text().toStdString(), "3   张");
}

TEST_F(FilterAndFiles, FilterShowAllAndTheirStatements) {
    MainWindow& f = openNames({"猫1", "小猫", "狗", "it's"});
    filterBy("猫");
    EXPECT_EQ(listed(), (QStringList{"猫1", "小猫"}));
    EXPECT_EQ(f.nameLabel->text(), "猫1");
    EXPECT_TRUE(f.pictureView->hasPicture());
    filterBy("'");  // a quote is found literally
    EXPECT_EQ(listed(), QStringList{"it's"});
    filterBy("");
    EXPECT_EQ(listed().size(), 4);
    filterBy("狗");
    f.showAllAction->trigger();
    EXPECT_EQ(listed().size(), 4);
    EXPECT_EQ(f.nameLabel->text(), "猫1");
    EXPECT_EQ(f.pictures.sql(), "select * from pictures\r\n");
    EXPECT_EQ(f.countLabel->text().toStdString(), "4   张");
}

TEST_F(FilterAndFiles, OpeningAFileShowsItsFirstPictureAndTitle) {
    MainWindow& f = openNames({"x"});
    TempDir other;
    std::string five = other.file("five.vlm");
    tools::createCollection(five, pictureRecords({"1", "2", "3", "4", "5"}, 40, 30));
    dialogs.answers.push_back(five);
    f.openFileAction->trigger();
    EXPECT_EQ(f.windowTitle().toStdString(), "Velmora    [ " + five + " ]");
    EXPECT_EQ(f.countLabel->text().toStdString(), "5   张");
    EXPECT_EQ(f.nameLabel->text(), "1");
    EXPECT_FALSE(f.previousButton->isEnabled());
    EXPECT_TRUE(f.nextButton->isEnabled());
    EXPECT_TRUE(pictureCommands(true));
    EXPECT_EQ(QDir::currentPath().toStdString(), other.path().string());
    EXPECT_EQ(dialogs.shown[0].filter, "Velmora 文件(*.vlm)|*.vlm");

    std::string empty = other.file("empty.vlm");
    tools::createCollection(empty, {});
    dialogs.answers.push_back(empty);
    f.openFileAction->trigger();
    EXPECT_EQ(f.countLabel->text().toStdString(), "0   张");
    EXPECT_FALSE(f.pictureView->hasPicture());
    EXPECT_TRUE(pictureCommands(false));
    EXPECT_TRUE(f.addFromFileAction->isEnabled());
    EXPECT_TRUE(f.pasteAction->isEnabled());
}

TEST_F(FilterAndFiles, OpeningWithAFilterShowsOnlyMatches) {
    MainWindow& f = openNames({"猫"});
    filterBy("猫");
    std::string other = dir.file("other.vlm");
    tools::createCollection(other, pictureRecords({"大猫", "狗", "猫猫"}, 40, 30));
    dialogs.answers.push_back(other);
    f.openFileAction->trigger();
    EXPECT_EQ(listed(), (QStringList{"大猫", "猫猫"}));
    EXPECT_EQ(f.countLabel->text().toStdString(), "2   张");
}

TEST_F(FilterAndFiles, AFailedOpenLeavesEverythingAsItWas) {
    MainWindow& f = openNames({"a", "b"});
    QString title = f.windowTitle();
    writeFile(dir.file("bad.vlm"), std::string(1024, 'q'));
    dialogs.answers.push_back(dir.file("bad.vlm"));
    modals.answerBox();
    f.openFileAction->trigger();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].text, "file is not a database.");
    EXPECT_EQ(f.windowTitle(), title);
    EXPECT_EQ(f.countLabel->text().toStdString(), "2   张");
    EXPECT_TRUE(f.pictureView->hasPicture());
}

TEST_F(FilterAndFiles, CreatingAFileFromTheTemplate) {
    MainWindow& f = openNames({"1", "2", "3", "4"});
    QString offered;
    confirmDialog(modals, QString("相册"), &offered);
    f.newFileAction->trigger();
    EXPECT_EQ(offered, "新建图片数据库文件");
    std::string created = dir.file("相册.vlm");
    EXPECT_TRUE(namesInFile(created).empty());
    EXPECT_EQ(namesInFile(dir.file("pictures.vlm")).size(), 4u);
    EXPECT_EQ(f.windowTitle().toStdString(), "Velmora    [ " + QDir::currentPath().toStdString() + "/相册.vlm ]");
    EXPECT_EQ(f.countLabel->text().toStdString(), "0   张");
    EXPECT_TRUE(pictureCommands(false));
}

TEST_F(FilterAndFiles, CreatingDecodesNoPictureOfARecordItDeletes) {
    // Pictures large enough to be read from their front: the headers alone are read.
    makeDefaultFile(pictureRecords({"1", "2", "3", "4"}, 1200, 900));
    MainWindow& f = openWindow();
    int refreshes = 0, decoded = 0, fetched = 0;
    int sink = f.pictures.addChangeSink(
        [&](const Field*) {
            ++refreshes;
            JpegPicture& shown = f.pictureView->picture();
            if (shown.hasBitmap() || shown.hasDisplayBitmap()) ++decoded;
            if (shown.hasData() && shown.dataFetched()) ++fetched;
        },
        false);
    confirmDialog(modals, QString("empty"));
    f.newFileAction->trigger();
    f.pictures.removeSink(sink);
    EXPECT_GE(refreshes, 4);  // the opening and one per delete
    EXPECT_EQ(decoded, 0);
    EXPECT_EQ(fetched, 0);  // only the headers of each picture were read
    EXPECT_TRUE(namesInFile(dir.file("empty.vlm")).empty());
}

TEST_F(FilterAndFiles, CreatingWithAFilterStillEmptiesTheWholeNewFile) {
    MainWindow& f = openNames({"猫1", "狗", "猫2"});
    filterBy("猫");
    confirmDialog(modals, QString("new"));
    f.newFileAction->trigger();
    // The record the filter does not select is not left hidden in the "empty" file.
    EXPECT_TRUE(namesInFile(dir.file("new.vlm")).empty());
    EXPECT_TRUE(pictureCommands(false));
    EXPECT_EQ(namesInFile(dir.file("pictures.vlm")).size(), 3u);
}

TEST_F(FilterAndFiles, CreatingWithoutATemplateReportsTheStoreError) {
    MainWindow& f = openNames({"a"});
    QDir::current().remove("pictures.vlm");
    confirmDialog(modals, QString("new"));
    modals.answerBox();
    cancelDialog(modals);  // the dialog stays open after the error
    f.newFileAction->trigger();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].text, "unable to open database file.");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("new.vlm"))));
}

TEST_F(FilterAndFiles, CreatingOverAnExistingNameChangesNothing) {
    MainWindow& f = openNames({"a", "b"});
    tools::createCollection(dir.file("keep.vlm"), pictureRecords({"kept"}, 40, 30));
    QString title = f.windowTitle();
    confirmDialog(modals, QString("keep"));
    modals.answerBox();
    cancelDialog(modals);
    f.newFileAction->trigger();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_TRUE(modals.seen[0].text.startsWith("Cannot create file \"")) << modals.seen[0].text.toStdString();
    EXPECT_EQ(namesInFile(dir.file("keep.vlm")), std::vector<std::string>{"kept"});
    EXPECT_EQ(f.windowTitle(), title);
    EXPECT_EQ(f.countLabel->text().toStdString(), "2   张");
}

}  // namespace
}  // namespace velmora::test
