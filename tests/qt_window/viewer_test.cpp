// The full-size viewer window: the picture at its own size, closed by a click or its
// menu, and the wallpaper command from its menu.
#include <QFileInfo>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include "platform/drive_folder.h"
#include "qt_window/viewer_window.h"
#include "tests/gui_support/browser_fixture.h"

namespace velmora::test {
namespace {

using Viewer = BrowserTest;

TEST_F(Viewer, ShowsThePictureAtItsOwnSizeAndClosesOnAClick) {
    makeDefaultFile(pictureRecords({"图片1", "图片2", "图片3"}, 1024, 768));
    MainWindow& f = openWindow();
    button("SpeedButton2")->click();
    button("SpeedButton2")->click();
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
    QTest::mouseClick(f.pictureView, Qt::LeftButton);
    EXPECT_EQ(caption, "查看原始图片    < 图片3 >");
    EXPECT_EQ(hint, "图片大小：1024 X 768     单击关闭");
    EXPECT_EQ(size, QSize(1024, 768));
    EXPECT_EQ(modals.pending(), 0u);
    EXPECT_TRUE(modals.seen.empty());
    EXPECT_EQ(f.viewer(), nullptr);
}

TEST_F(Viewer, APictureLargerThanTheScreenScrollsInAWindowWithinIt) {
    makeDefaultFile(pictureRecords({"大"}, 1500, 1100));  // the offscreen screen is 800 x 600
    MainWindow& f = openWindow();
    QRect shown, work;
    QSize picture;
    std::vector<int> scrolled;
    modals.then([&](QWidget* window) {
        auto* viewer = qobject_cast<ViewerWindow*>(window);
        shown = viewer->frameGeometry();
        work = viewer->screen()->availableGeometry();
        picture = viewer->pictureView->size() * viewer->devicePixelRatio();
        QScrollBar* across = viewer->scrollArea->horizontalScrollBar();
        QScrollBar* down = viewer->scrollArea->verticalScrollBar();
        across->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // Left and Right change the picture
        QTest::keyClick(viewer->scrollArea, Qt::Key_Down);
        scrolled = {across->value(), down->value()};
        QTest::keyClick(across, Qt::Key_End);  // the scrollbars' own keys
        QTest::keyClick(down, Qt::Key_End);
        const QWidget* view = viewer->scrollArea->viewport();
        scrolled.insert(scrolled.end(), {1500 - across->value() - view->width(), 1100 - down->value() - view->height()});
        viewer->reject();
    });
    QTest::mouseClick(f.pictureView, Qt::LeftButton);
    EXPECT_TRUE(work.contains(shown)) << shown.width() << " x " << shown.height();
    EXPECT_EQ(picture, QSize(1500, 1100));
    EXPECT_EQ(scrolled, (std::vector<int>{40, 40, 0, 0}));
}

TEST_F(Viewer, ItsMenuClosesItOrMakesThePictureTheWallpaper) {
    makeDefaultFile(pictureRecords({"海"}, 64, 48));
    MainWindow& f = openWindow();
    QStringList items;
    modals.then([&](QWidget* window) {
        auto* viewer = qobject_cast<ViewerWindow*>(window);
        for (QAction* item : viewer->popupMenu->actions()) items << item->objectName() + " " + item->text();
        viewer->action("Quit")->trigger();
    });
    f.browser().openViewer();
    EXPECT_EQ(items.join(" | "), "SetToDesktop 设为桌面(&T) | Quit 关闭(&Q)");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(platform::driveFolder('c') + "/WINDOWS/Web/Wallpaper/myWallPaper/海.bmp")));

    modals.then([](QWidget* window) { qobject_cast<ViewerWindow*>(window)->action("SetToDesktop")->trigger(); });
    f.browser().openViewer();
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(platform::driveFolder('c') + "/WINDOWS/Web/Wallpaper/myWallPaper/海.bmp")));
    EXPECT_EQ(desktop.sleptMilliseconds, 1000u);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(modals.unexpected, 0);
}

}  // namespace
}  // namespace velmora::test
