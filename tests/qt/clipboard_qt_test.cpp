#include <gtest/gtest.h>

#include <functional>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include "qt_window/system_clipboard.h"
#include "base/error.h"
#include "tools/synthetic_picture.h"

namespace velmora {
namespace {

std::string errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

class QtClipboardTest : public ::testing::Test {
protected:
    QtClipboard clipboard;
};

TEST_F(QtClipboardTest, ABitmapComesBackWithItsSizeAndColours) {
    const Bitmap bitmap = tools::syntheticBitmap(37, 23);
    clipboard.setBitmap(bitmap);
    ASSERT_TRUE(clipboard.hasBitmap());
    EXPECT_EQ(clipboard.bitmap(), bitmap);
}

TEST_F(QtClipboardTest, AnEightBitBitmapIsOfferedThroughItsPalette) {
    Bitmap indexed(3, 1, Bitmap::Format::Indexed8);
    indexed.setPalette({{10, 20, 30}, {200, 100, 50}});
    indexed.scanLine(0)[1] = 1;
    indexed.scanLine(0)[2] = 7;  // beyond the palette: black
    clipboard.setBitmap(indexed);
    const QImage image = QGuiApplication::clipboard()->image();
    EXPECT_EQ(image.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(image.pixel(1, 0), qRgb(200, 100, 50));
    EXPECT_EQ(image.pixel(2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(clipboard.bitmap(), indexed.toBgr24());
}

TEST_F(QtClipboardTest, AnyImageAnotherProgramOffersIsPastedWithoutItsAlpha) {
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(255, 0, 0, 255));
    image.setPixel(1, 0, qRgba(0, 0, 255, 128));
    QGuiApplication::clipboard()->setImage(image);
    const Bitmap pasted = clipboard.bitmap();
    ASSERT_EQ(pasted.width(), 2);
    const std::uint8_t* p = pasted.scanLine(0);
    EXPECT_EQ(std::vector<int>(p, p + 6), (std::vector<int>{0, 0, 255, 255, 0, 0}));
}

TEST_F(QtClipboardTest, TextOnlyOffersNoBitmap) {
    QGuiApplication::clipboard()->setText("some text");
    EXPECT_FALSE(clipboard.hasBitmap());
    EXPECT_EQ(errorOf([&] { clipboard.bitmap(); }), "Unsupported clipboard format");
    clipboard.setBitmap(tools::syntheticBitmap(4, 4));
    clipboard.clear();
    EXPECT_FALSE(clipboard.hasBitmap());
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}

}  // namespace
}  // namespace velmora
