// The thumbnail window in Qt: the grid shows the pictures, a click moves the main
// window, a move there selects the picture here, and the window keeps its place.
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <QThread>

#include "qt_window/thumbnail_window.h"
#include "store/picture/jpeg_encoder.h"
#include "tests/gui_support/browser_fixture.h"
#include "tests/support/build_paths.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

Bytes solidJpeg(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    Bitmap bitmap(200, 150, Bitmap::Format::Bgr24);
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            std::uint8_t* pixel = bitmap.scanLine(y) + 3 * x;
            pixel[0] = blue, pixel[1] = green, pixel[2] = red;
        }
    }
    return encodeJpeg(bitmap, JpegDefaults{});
}

using ThumbnailWindowTest = BrowserTest;

TEST_F(ThumbnailWindowTest, TheGridShowsThePicturesAndFollowsTheMainWindowBothWays) {
    const QRgb colours[] = {qRgb(220, 30, 30), qRgb(30, 200, 40), qRgb(30, 40, 210)};
    std::vector<CollectionRecord> records{{"红", solidJpeg(220, 30, 30)}, {"绿", solidJpeg(30, 200, 40)},
                                          {"蓝", solidJpeg(30, 40, 210)}, {"坏图片", Bytes{0xFF, 0xD8, 0xFF, 0xD9}}};
    for (int i = 0; i < 5; ++i) records.push_back({"风景" + std::to_string(i + 1), tools::syntheticJpeg(320, 240 - 40 * (i % 2), i)});
    makeDefaultFile(records);
    services.thumbnailStore = home.file("cache/velmora/thumbnails.db");
    MainWindow& f = openWindow();
    f.action("Thumbnails")->trigger();
    ThumbnailWindow* window = f.thumbnailWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "缩略图");
    EXPECT_EQ(f.action("Thumbnails")->shortcut(), QKeySequence("Ctrl+T"));
    ThumbnailForm& form = f.browser().thumbnails();
    window->resize(600, 560);
    for (int i = 0; i < 300 && !(form.cell(0).picture && form.cell(8).picture && form.cell(3).failed); ++i) {
        settle();
        QThread::msleep(10);
    }
    settle();
    ThumbnailGrid* grid = window->grid();
    const QImage shot = grid->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < 3; ++row) {
        const QRect cell = grid->visualRect(grid->model()->index(row, 0));
        const QPointF centre(cell.center().x(), cell.top() + 6 + ThumbnailForm::kSmallEdge / 2);
        const QRgb shown = shot.pixel((centre * shot.devicePixelRatio()).toPoint());
        EXPECT_NEAR(qRed(shown), qRed(colours[row]), 12) << row;
        EXPECT_NEAR(qGreen(shown), qGreen(colours[row]), 12) << row;
        EXPECT_NEAR(qBlue(shown), qBlue(colours[row]), 12) << row;
    }

    form.click(4);
    form.setLeftOut(true);
    form.click(6, true);
    settle();
    // The README's picture of the window.
    window->grab().save(QString::fromStdString(binaryDir() + "/thumbnail_window.png"));

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(2, 0)).center());
    EXPECT_EQ(f.nameLabel->text(), "蓝");
    button("SpeedButton1")->click();  // the main window's previous picture
    EXPECT_EQ(form.selectedRows(), std::vector<int>{1});
    QTest::keyClick(grid, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(form.edge(), ThumbnailForm::kLargeEdge);
    QTest::keyClick(grid, Qt::Key_Home);
    EXPECT_EQ(f.nameLabel->text(), "红");

    window->resize(530, 410);
    window->close();
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(home.file("config/velmora/thumbnails.conf"))));
    f.action("Thumbnails")->trigger();
    EXPECT_EQ(window->size(), QSize(530, 410));
}

}  // namespace
}  // namespace velmora::test
