// The full-size viewer, and the wallpaper command started from both windows.
#include <QFileInfo>
#include <QTest>

#include "qt_window/viewer_window.h"
#include "platform/drive_folder.h"
#include "tests/gui_support/browser_fixture.h"

namespace velmora::test {
namespace {

class ViewerAndWallpaper : public BrowserTest {
protected:
    std::string wallpaperFile(const std::string& name) {
        return platform::driveFolder('c') + "/WINDOWS/Web/Wallpaper/myWallPaper/" + name + ".bmp";
    }
};

TEST_F(ViewerAndWallpaper, ViewerShowsThePictureAtItsOwnSize) {
    makeDefaultFile(pictureRecords({"图片1", "图片2", "图片3"}, 1024, 768));
    MainWindow& f = openWindow();
    f.nextButton->click();
    f.nextButton->click();
    QString caption, hint;
    QSize size;
    modals.then([&](QWidget* window) {
        auto* viewer = qobject_cast<ViewerWindow*>(window);
        ASSERT_NE(viewer, nullptr);
        caption = viewer->windowTitle();
        hint = viewer->toolTip();
        size = viewer->pictureView->size();
        QTest::mouseClick(viewer->pictureView, Qt::LeftButton);
    });
    f.openViewer();
    EXPECT_EQ(caption, "查看原始图片    < 图片3 >");
    EXPECT_EQ(hint, "图片大小：1024 X 768     单击关闭");
    EXPECT_EQ(size, QSize(1024, 768));
    EXPECT_EQ(modals.pending(), 0u);
    EXPECT_TRUE(modals.seen.empty());
}

TEST_F(ViewerAndWallpaper, ViewerClosesFromItsMenu) {
    makeDefaultFile(pictureRecords({"a"}, 64, 48));
    MainWindow& f = openWindow();
    bool shown = false;
    modals.then([&](QWidget* window) {
        shown = true;
        qobject_cast<ViewerWindow*>(window)->closeAction->trigger();
    });
    f.openViewer();
    EXPECT_TRUE(shown);
    EXPECT_EQ(f.nameLabel->text(), "a");
}

TEST_F(ViewerAndWallpaper, ViewerInAnEmptyFileShowsOnlyTheMessage) {
    makeDefaultFile({});
    MainWindow& f = openWindow();
    modals.answerBox();
    QTest::mouseClick(f.pictureView, Qt::LeftButton);
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].text, "没有可查看的图片");
    EXPECT_EQ(modals.unexpected, 0);
}

TEST_F(ViewerAndWallpaper, MainWindowCommandWritesTheBitmapAndSetsTheWallpaper) {
    makeDefaultFile(pictureRecords({"夕阳", "b"}, 101, 10));
    MainWindow& f = openWindow();
    f.wallpaperButton->click();
    std::string file = wallpaperFile("夕阳");
    ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(file)));
    EXPECT_EQ(QFileInfo(QString::fromStdString(file)).size(), 54 + 304 * 10);
    EXPECT_EQ(desktop.wallpaper, "C:\\WINDOWS\\Web\\Wallpaper\\myWallPaper\\夕阳.bmp");
    EXPECT_EQ(desktop.sleptMilliseconds, 1000u);
    EXPECT_TRUE(f.isVisible());
    auto value = registry.value("software\\Velmora", "FileName");
    ASSERT_TRUE(value);
}

TEST_F(ViewerAndWallpaper, ViewerCommandClosesTheViewer) {
    makeDefaultFile(pictureRecords({"海"}, 64, 48));
    MainWindow& f = openWindow();
    modals.then([](QWidget* window) { qobject_cast<ViewerWindow*>(window)->wallpaperAction->trigger(); });
    f.openViewer();
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(wallpaperFile("海"))));
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(modals.unexpected, 0);
}

TEST_F(ViewerAndWallpaper, NoPictureGivesTheVariantMessage) {
    makeDefaultFile({});
    MainWindow& f = openWindow();
    modals.answerBox();
    f.setAsWallpaper();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].text, "当前没有可作为桌面的图片!");
    EXPECT_TRUE(desktop.wallpaper.empty());
}

}  // namespace
}  // namespace velmora::test
