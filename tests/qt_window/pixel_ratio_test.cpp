// At a device pixel ratio of 2 (QT_SCALE_FACTOR=2) the main window's picture is decoded
// for the fitted rectangle in device pixels: real detail, in the same logical place.
// CTest runs these cases once more with QT_SCALE_FACTOR=2; at ratio 1 they skip.
#include <cstdlib>

#include <QImage>
#include <QPixmap>

#include "tests/gui_support/browser_fixture.h"

namespace velmora::test {
namespace {

using PixelRatio = BrowserTest;

TEST_F(PixelRatio, ThePictureAreaHasTwiceTheResolution) {
    makeDefaultFile(pictureRecords({"photo"}, 1600, 1200));
    MainWindow& f = openWindow();
    if (std::getenv("VELMORA_EXPECT_PIXEL_RATIO_2")) {
        ASSERT_EQ(f.devicePixelRatioF(), 2.0);
    }
    if (f.devicePixelRatioF() != 2.0) GTEST_SKIP() << "runs with QT_SCALE_FACTOR=2";

    // The layout in logical pixels stays as it is.
    EXPECT_EQ(f.pictureView->drawRect(), (FitRect{5, 0, 534, 401}));
    QImage shot = f.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), QSize(2 * 788, 2 * 478));
    EXPECT_FALSE(f.pictureView->picture().hasBitmap());  // no full-size bitmap for the display

    // Adjacent device pixels inside the picture differ where it has detail: a blown-up
    // 534 x 401 bitmap would repeat every pixel twice.
    const QPoint origin = 2 * (f.pictureView->mapTo(&f, QPoint(0, 0)) + QPoint(5, 0));
    int pairs = 0, differing = 0;
    for (int y = 0; y < 802; y += 7) {
        for (int x = 0; x + 1 < 1068; x += 2) {
            ++pairs;
            if (shot.pixel(origin.x() + x, origin.y() + y) != shot.pixel(origin.x() + x + 1, origin.y() + y)) {
                ++differing;
            }
        }
    }
    EXPECT_GT(differing, pairs / 3) << differing << " of " << pairs;

    // The black surround stays where it was, in device pixels too.
    EXPECT_EQ(shot.pixel(origin.x() - 3, origin.y() + 400), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(origin.x() + 1068 + 3, origin.y() + 400), qRgb(0, 0, 0));
    EXPECT_NE(shot.pixel(origin.x() + 1, origin.y() + 400), qRgb(0, 0, 0));
}

}  // namespace
}  // namespace velmora::test
