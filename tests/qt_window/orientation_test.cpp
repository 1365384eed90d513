// Photos carrying an EXIF orientation are shown upright in the main window, the
// viewer, the clipboard copy and the wallpaper bitmap.
#include <QImage>

#include "qt_window/viewer_window.h"
#include "platform/drive_folder.h"
#include "store/imagefile/bmp_reader.h"
#include "tests/gui_support/browser_fixture.h"
#include "tests/support/oriented_sample.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

// The pixels of a widget as drawn, read in the upright picture's coordinates from
// the rectangle the picture is drawn in.
std::string widgetMismatch(int orientation, QWidget& view, const FitRect& rect) {
    if (rect.width != uprightWidth(orientation) || rect.height != uprightHeight(orientation)) {
        return "drawn " + std::to_string(rect.width) + "x" + std::to_string(rect.height);
    }
    const QImage shot = view.grab().toImage();
    return uprightMismatch(orientation, [&](int x, int y) {
        const QRgb pixel = shot.pixel(rect.left + x, rect.top + y);
        return Rgb{static_cast<std::uint8_t>(qRed(pixel)), static_cast<std::uint8_t>(qGreen(pixel)),
                   static_cast<std::uint8_t>(qBlue(pixel))};
    });
}

class UprightPhotos : public BrowserTest {};

TEST_F(UprightPhotos, EveryOrientationShowsUprightEverywhereAndIsStoredUnchanged) {
    std::vector<CollectionRecord> records;
    for (int orientation = 1; orientation <= 8; ++orientation) {
        records.push_back({"o" + std::to_string(orientation), orientedJpeg(orientation, orientation % 2 == 0)});
    }
    makeDefaultFile(records);
    MainWindow& f = openWindow();
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE("orientation " + std::to_string(orientation));
        if (orientation > 1) button("SpeedButton2")->click();
        settle();
        ASSERT_EQ(f.nameLabel->text().toStdString(), "o" + std::to_string(orientation));
        EXPECT_EQ(widgetMismatch(orientation, *f.pictureView, f.pictureView->drawRect()), "");

        std::string viewer = "not shown";
        QSize viewerSize;
        modals.then([&](QWidget* window) {
            auto* shown = qobject_cast<ViewerWindow*>(window);
            viewer = widgetMismatch(orientation, *shown->pictureView,
                                    {0, 0, shown->pictureView->width(), shown->pictureView->height()});
            viewerSize = shown->pictureView->size();
            shown->action("Quit")->trigger();
        });
        f.browser().openViewer();
        EXPECT_EQ(viewer, "");
        EXPECT_EQ(viewerSize, QSize(uprightWidth(orientation), uprightHeight(orientation)));

        action("CopyToCBoard")->trigger();
        ASSERT_TRUE(clipboard.heldBitmap());
        EXPECT_EQ(uprightMismatch(orientation, *clipboard.heldBitmap()), "");

        button("SpeedButton4")->click();
        const std::string wallpaper =
            platform::driveFolder('c') + "/WINDOWS/Web/Wallpaper/myWallPaper/o" + std::to_string(orientation) + ".bmp";
        EXPECT_EQ(uprightMismatch(orientation, readBmpFile(wallpaper)), "");
    }
    // Nothing was written back: the records hold the bytes they were made with.
    const auto stored = picturesInFile(dir.file("pictures.vlm"));
    for (std::size_t i = 0; i < records.size(); ++i) EXPECT_EQ(stored[i], records[i].picture) << i;
    EXPECT_EQ(modals.unexpected, 0);
}

TEST_F(UprightPhotos, TheDisplayFitUsesTheTurnedSize) {
    const Bytes landscape = tools::syntheticJpeg(1024, 768, 1);
    makeDefaultFile({{"turned", insertAfterSoi(landscape, exifSegment(6, false))}});
    MainWindow& f = openWindow();
    // 768 x 1024 upright: 300 x 401 at (122, 0), where the stored 1024 x 768 would be 534 x 401 at (5, 0).
    EXPECT_EQ(f.pictureView->drawRect(), (FitRect{122, 0, 300, 401}));
}

}  // namespace
}  // namespace velmora::test
