// The main window rendered to a picture: its size, and the current picture drawn
// into the fitted rectangle of the picture area by nearest neighbour.
#include <QImage>
#include <QPixmap>

#include "store/picture/jpeg_picture.h"
#include "store/picture/scale_nearest.h"
#include "tests/gui_support/browser_fixture.h"
#include "tests/support/build_paths.h"

namespace velmora::test {
namespace {

using Screenshot = BrowserTest;

TEST_F(Screenshot, MainWindowShowsTheFirstPictureInItsFittedRectangle) {
    auto records = pictureRecords({"图片1", "图片2", "图片3"}, 1024, 768);
    makeDefaultFile(records);
    MainWindow& f = openWindow();
    QImage shot = f.grab().toImage().convertToFormat(QImage::Format_RGB32);
    shot.save(QString::fromStdString(test::binaryDir() + "/main_window.png"));
    ASSERT_EQ(shot.size(), QSize(788, 478));

    FitRect fit = f.pictureView->drawRect();
    EXPECT_EQ(fit, (FitRect{5, 0, 534, 401}));

    JpegPicture reference;
    reference.loadData(shareBytes(records[0].picture));
    const Bitmap& bitmap = reference.bitmap();
    QPoint origin = f.pictureView->mapTo(&f, QPoint(0, 0));
    for (int y : {0, 100, 200, 400}) {
        for (int x : {0, 133, 300, 533}) {
            int sx = nearestSource(x, fit.width, bitmap.width());
            int sy = nearestSource(y, fit.height, bitmap.height());
            const std::uint8_t* pixel = bitmap.scanLine(sy) + 3 * sx;
            QRgb shown = shot.pixel(origin.x() + fit.left + x, origin.y() + fit.top + y);
            EXPECT_EQ(qBlue(shown), pixel[0]) << x << "," << y;
            EXPECT_EQ(qGreen(shown), pixel[1]) << x << "," << y;
            EXPECT_EQ(qRed(shown), pixel[2]) << x << "," << y;
        }
    }
    // Outside the rectangle the black box shows.
    EXPECT_EQ(shot.pixel(origin.x() + 2, origin.y() + 200), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(origin.x() + 542, origin.y() + 200), qRgb(0, 0, 0));
}

}  // namespace
}  // namespace velmora::test
