#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTimer>

#include "base/error.h"
#include "qt_window/system_clipboard.h"
#include "store/imagefile/clipboard.h"
#include "tests/support/child_process.h"
#include "tests/support/clipboard_owner_x11.h"
#include "tests/support/xvfb_server.h"
#include "tests/support/temp_dir.h"
#include "tools/synthetic_picture.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

constexpr char kChildMarker[] = "VELMORA_XVFB_CHILD";

// Each test runs twice: here it starts a private X server and runs itself again in a
// child process whose QApplication uses the xcb platform on that display; the child
// does the work.
bool isChild() {
    return std::getenv(kChildMarker) != nullptr;
}

void runThisTestOnPrivateDisplay() {
    if (!test::programAvailable("Xvfb") || !test::programAvailable("xclip")) {
        GTEST_SKIP() << "Xvfb or xclip is not installed";
    }
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter = std::string("--gtest_filter=") + info->test_suite_name() + "." + info->name();
    test::XvfbServer server;
    test::ChildOptions options;
    options.environment = {"DISPLAY=" + server.display(), "QT_QPA_PLATFORM=xcb", std::string(kChildMarker) + "=1"};
    // libxkbcommon-x11 hands strndup atom names without a terminating zero, which
    // AddressSanitizer's strict string checks take for an overflow.
    if (const char* asan = std::getenv("ASAN_OPTIONS")) {
        options.environment.push_back(std::string("ASAN_OPTIONS=") + asan + ":strict_string_checks=0");
    }
    test::ChildProcess child({"/proc/self/exe", filter}, options);
    const std::optional<int> exitCode = child.wait(90s);
    ASSERT_TRUE(exitCode) << "the test on " << server.display() << " did not finish";
    EXPECT_EQ(*exitCode, 0) << "the test on " << server.display() << " failed";
}

void processEvents() {
    QCoreApplication::processEvents();
}

void expectSamePixels(const Bitmap& bitmap, const QImage& image) {
    ASSERT_EQ(image.width(), bitmap.width());
    ASSERT_EQ(image.height(), bitmap.height());
    int differing = 0;
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            const std::uint8_t* p = bitmap.scanLine(y) + 3 * x;
            differing += image.pixel(x, y) != qRgb(p[2], p[1], p[0]);
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(XclipInterop, PastesAPngThatXclipOffers) {
    if (!isChild()) {
        return runThisTestOnPrivateDisplay();
    }
    test::TempDir dir;
    const Bitmap source = tools::syntheticBitmap(61, 37, 2);
    const QImage image =
        QImage(source.bits(), source.width(), source.height(), static_cast<qsizetype>(source.bytesPerLine()),
               QImage::Format_BGR888)
            .convertToFormat(QImage::Format_RGB32);
    const std::string png = dir.file("offered.png");
    ASSERT_TRUE(image.save(QString::fromStdString(png), "PNG"));

    // -quiet keeps xclip in the foreground, serving the selection until it is stopped.
    test::ChildOptions silent;
    silent.silent = true;
    test::ChildProcess xclip({"xclip", "-quiet", "-selection", "clipboard", "-t", "image/png", "-i", png}, silent);
    QtClipboard clipboard;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!clipboard.hasBitmap() && std::chrono::steady_clock::now() < deadline) {
        ASSERT_FALSE(xclip.wait(20ms, processEvents)) << "xclip ended early";
    }
    ASSERT_TRUE(clipboard.hasBitmap());
    PictureContainer pasted = pastePicture(clipboard);
    expectSamePixels(pasted.bitmap(), image);
    xclip.stop();
}

TEST(XclipInterop, XclipReadsACopiedPictureAsPngAndBmp) {
    if (!isChild()) {
        return runThisTestOnPrivateDisplay();
    }
    test::TempDir dir;
    QtClipboard clipboard;
    JpegPicture picture;
    picture.assignBitmap(tools::syntheticBitmap(45, 29, 1));
    copyPicture(clipboard, picture);

    for (const char* type : {"image/png", "image/bmp"}) {
        const std::string out = dir.file("read");
        test::ChildOptions options;
        options.standardOutput = out;
        // The clipboard's owner must keep answering while xclip reads.
        test::ChildProcess xclip({"xclip", "-selection", "clipboard", "-t", type, "-o"}, options);
        const std::optional<int> exitCode = xclip.wait(20s, processEvents);
        ASSERT_TRUE(exitCode) << type << ": xclip did not finish";
        ASSERT_EQ(*exitCode, 0) << type;
        QImage read;
        ASSERT_TRUE(read.load(QString::fromStdString(out))) << type;
        expectSamePixels(picture.bitmap(), read);
    }
}

// An owner that stalls: the progress window's Cancel ends the paste with the clipboard's
// error before the owner's time limit (5 s), and the window's thread runs meanwhile.
TEST(XclipInterop, CancelEndsAPasteFromAStallingOwnerWhileTheWindowRuns) {
    if (!isChild()) {
        return runThisTestOnPrivateDisplay();
    }
    const auto owner = test::startClipboardOwner("stall");
    QtClipboard clipboard;
    ASSERT_TRUE(clipboard.hasBitmap());
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] {
        ++ticks;
        QWidget* progress = QApplication::activeModalWidget();
        if (progress && progress->objectName() == "TransferProgress") progress->findChild<QPushButton*>()->click();
    });
    timer.start(20);
    const auto started = std::chrono::steady_clock::now();
    try {
        pastePicture(clipboard);
        ADD_FAILURE() << "pasted";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Unsupported clipboard format");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    EXPECT_GT(ticks, 10);
}

}  // namespace
}  // namespace velmora
