// Window creation: the default file, the title, the count label and which commands
// are available; failures while the window is created.
#include <QDir>
#include <QMessageBox>

#include "browser/app_title.h"
#include "tests/gui_support/browser_fixture.h"
#include "tests/support/temp_dir.h"

namespace velmora::test {
namespace {

using Startup = BrowserTest;

TEST_F(Startup, EmptyDefaultFileLeavesOnlyAddingAvailable) {
    makeDefaultFile({});
    MainWindow& f = openWindow();
    EXPECT_EQ(f.countLabel->text().toStdString(), "0   张");
    EXPECT_FALSE(f.previousButton->isEnabled());
    EXPECT_FALSE(f.nextButton->isEnabled());
    EXPECT_TRUE(pictureCommands(false));
    EXPECT_FALSE(f.pictureView->hasPicture());
    for (QAction* always : {f.addFromFileAction, f.pasteAction, f.newFileAction, f.openFileAction, f.quitAction}) {
        EXPECT_TRUE(always->isEnabled()) << always->objectName().toStdString();
    }
    EXPECT_TRUE(f.quitButton->isEnabled());
    EXPECT_TRUE(f.webSiteButton->isEnabled());
    EXPECT_TRUE(modals.seen.empty());
}

TEST_F(Startup, ThreeRecordsShowTheFirstPicture) {
    makeDefaultFile(pictureRecords({"R1", "R2", "R3"}));
    MainWindow& f = openWindow();
    EXPECT_EQ(f.countLabel->text().toStdString(), "3   张");
    EXPECT_EQ(f.nameLabel->text().toStdString(), "R1");
    EXPECT_FALSE(f.previousButton->isEnabled());
    EXPECT_TRUE(f.nextButton->isEnabled());
    EXPECT_TRUE(pictureCommands(true));
    EXPECT_TRUE(f.pictureView->hasPicture());
    std::string cwd = QDir::currentPath().toStdString();
    EXPECT_EQ(f.windowTitle().toStdString(),
              std::string(kApplicationTitle) + "    默认文件[ " + cwd + "\\pictures.vlm ]");
}

TEST_F(Startup, AnotherWorkingDirectoryOpensItsOwnDefaultFile) {
    makeDefaultFile(pictureRecords({"here"}));
    TempDir other;
    tools::createCollection(other.file("pictures.vlm"), pictureRecords({"there1", "there2"}));
    QDir::setCurrent(QString::fromStdString(other.path().string()));
    MainWindow& f = openWindow();
    EXPECT_EQ(f.nameLabel->text().toStdString(), "there1");
    EXPECT_NE(f.windowTitle().toStdString().find(other.path().string() + "\\pictures.vlm ]"), std::string::npos);
    form.reset();
}

void expectDesignStateAfterError(BrowserTest& test, MainWindow& f) {
    EXPECT_EQ(f.windowTitle().toStdString(), kApplicationTitle);
    EXPECT_EQ(f.countLabel->text().toStdString(), "显示数据库图片数");
    EXPECT_TRUE(test.pictureCommands(true));
    EXPECT_TRUE(f.previousButton->isEnabled());
    EXPECT_TRUE(f.nextButton->isEnabled());
}

TEST_F(Startup, MissingDefaultFileIsReportedAndTheWindowStillOpens) {
    modals.answerBox();
    MainWindow& f = openWindow();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].kind, "ErrorBox");
    EXPECT_EQ(modals.seen[0].title.toStdString(), kApplicationTitle);
    EXPECT_EQ(modals.seen[0].icon, QMessageBox::Critical);
    EXPECT_EQ(modals.seen[0].text, "unable to open database file.");
    expectDesignStateAfterError(*this, f);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("pictures.vlm"))));

    // The buttons report the store's error through the same handler.
    modals.answerBox();
    f.nextButton->click();
    ASSERT_EQ(modals.seen.size(), 2u);
    EXPECT_EQ(modals.seen[1].text, "ADOQuery1: Field 'picture' not found.");
}

TEST_F(Startup, DefaultFileThatIsNotADatabase) {
    writeFile(dir.file("pictures.vlm"), std::string(2048, 'z'));
    modals.answerBox();
    MainWindow& f = openWindow();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].text, "file is not a database.");
    expectDesignStateAfterError(*this, f);
}

TEST_F(Startup, WebSiteButtonOpensTheAddressAndQuitClosesTheWindow) {
    makeDefaultFile({});
    MainWindow& f = openWindow();
    f.webSiteButton->click();
    EXPECT_EQ(openedUrls, std::vector<std::string>{kWebSiteAddress});
    f.quitAction->trigger();
    EXPECT_FALSE(f.isVisible());
}

TEST_F(Startup, PopupMenuHoldsEveryItemInOrder) {
    makeDefaultFile({});
    MainWindow& f = openWindow();
    QStringList captions;
    for (QAction* action : f.popupMenu->actions()) {
        captions << (action->isSeparator() ? QString("-") : action->text());
    }
    EXPECT_EQ(captions.join(" | ").toStdString(),
              "从文件载入(&L ) | 保存到文件(&S) | 从数据库删除(&D) | - | 新建图片数据文件(&N) | 打开图片数据文件(&O) "
              "| - | 重命名此图(&R) | 图片过滤(&P) | 设为桌面(&A) | - | 复制到剪贴板(&C) | 剪切到剪贴板(&X) | "
              "从剪贴板粘贴(&V) | - | 退出(&Q)");
    EXPECT_EQ(f.filterMenu->actions().size(), 2);
    EXPECT_EQ(f.filterMenu->actions()[0]->text(), "显示所有图片(&A)");
    EXPECT_EQ(f.filterMenu->actions()[1]->text(), "按文件名过滤(&F)");
    EXPECT_EQ(f.size(), QSize(788, 478));
    EXPECT_EQ(f.pictureView->size(), QSize(545, 401));
    EXPECT_EQ(f.nameList->geometry(), QRect(104, 48, 113, 425));
}

}  // namespace
}  // namespace velmora::test
