// Files dropped on the window, the picture formats read through Qt's image readers,
// and names typed into Qt's file dialog.
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include "qt_window/qt_image_decoder.h"
#include "store/imagefile/bmp_writer.h"
#include "store/imagefile/picture_file.h"
#include "tests/gui_support/browser_fixture.h"
#include "tests/support/build_paths.h"
#include "tests/support/store_fixture.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

// Left half red, right half blue.
QImage halves(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.setPixel(x, y, x < width / 2 ? qRgb(220, 20, 20) : qRgb(20, 20, 220));
    }
    return image;
}

class DroppingAndFormats : public BrowserTest {
protected:
    std::string put(const std::string& name, const Bytes& bytes) {
        writeFile(dir.file(name), std::string(bytes.begin(), bytes.end()));
        return dir.file(name);
    }
    // A valid picture file of the format its extension names, width x height; JPEG and
    // BMP files each of a picture of their own (the same bytes twice would be a duplicate).
    std::string pictureFile(const std::string& name, int width = 40, int height = 30) {
        const std::string extension = pictureFileExtension(name);
        if (extension == "jpg" || extension == "jpeg") return put(name, tools::syntheticJpeg(width, height, ++variant));
        if (extension == "bmp") return put(name, encodeBmp(tools::syntheticBitmap(width, height, ++variant)));
        // Qt writes no GIF: a kept 40 x 30 animation, red and blue halves, then all green.
        if (extension == "gif") {
            writeFile(dir.file(name), readFile(test::testDataDir() + "/two-frames.gif"));
            return dir.file(name);
        }
        const char* format = extension == "png" ? "PNG" : extension == "webp" ? "WEBP" : "TIFF";
        EXPECT_TRUE(halves(width, height).save(QString::fromStdString(dir.file(name)), format, 100)) << name;
        return dir.file(name);
    }
    std::string path() { return dir.file("pictures.vlm"); }
    int variant = 1;

    // Sends a drag entering the window, then the drop; true when the drag was accepted.
    bool drop(QMimeData& data) {
        QDragEnterEvent enter(QPoint(400, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        QDropEvent dropped(QPointF(400, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &dropped);
        settle();
        return enter.isAccepted();
    }
    static void setFiles(QMimeData& data, const std::vector<std::string>& files) {
        QList<QUrl> urls;
        for (const auto& file : files) urls << QUrl::fromLocalFile(QString::fromStdString(file));
        data.setUrls(urls);
    }
};

TEST_F(DroppingAndFormats, EachNewFormatIsStoredAsAJpegOfItsSize) {
    const QtImageDecoder decoder;
    for (const char* name : {"a.png", "b.GIF", "c.webp", "d.tif", "e.tiff"}) {
        SCOPED_TRACE(name);
        JpegPicture loaded = loadPictureFile(pictureFile(name, 40, 30), &decoder);
        JpegPicture stored;
        stored.readStored(loaded.jpegData());
        EXPECT_EQ((*loaded.jpegData())[0], 0xFF);
        EXPECT_EQ(stored.width(), 40);
        EXPECT_EQ(stored.height(), 30);
        // The first frame of the GIF, not the green second one.
        const Bitmap& bitmap = stored.bitmap();
        const std::uint8_t* left = bitmap.scanLine(15) + 5 * 3;
        const std::uint8_t* right = bitmap.scanLine(15) + 35 * 3;
        EXPECT_GT(left[2], 150);
        EXPECT_LT(left[0], 80);
        EXPECT_GT(right[0], 150);
        EXPECT_LT(right[2], 80);
    }
    // Transparent parts become white rather than whatever colour they hid.
    QImage clear(8, 8, QImage::Format_ARGB32);
    clear.fill(qRgba(0, 0, 0, 0));
    clear.save(QString::fromStdString(dir.file("clear.png")), "PNG");
    JpegPicture clearPicture = loadPictureFile(dir.file("clear.png"), &decoder);
    EXPECT_EQ(clearPicture.bitmap().scanLine(4)[12], 255);
    // Without a decoder the store knows these extensions no more than any other.
    EXPECT_EQ(graphicKindForExtension("png"), std::nullopt);
    EXPECT_EQ(graphicKindForExtension("PNG", &decoder), PictureContainer::Kind::Bitmap);
}

TEST_F(DroppingAndFormats, ATruncatedPngIsRefusedAndNothingStored) {
    makeDefaultFile(pictureRecords({"a"}));
    MainWindow& f = openWindow();
    const SharedBytes before = f.pictureView->picture().jpegData();
    const std::string whole = readFile(pictureFile("cut.png", 200, 150));
    writeFile(dir.file("cut.png"), whole.substr(0, whole.size() / 2));
    QMimeData one;
    setFiles(one, {dir.file("cut.png")});
    modals.answerBox();
    EXPECT_TRUE(drop(one));
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].text, "PNG image is not valid.");
    EXPECT_EQ(namesInFile(path()).size(), 1u);
    EXPECT_EQ(f.pictureView->picture().jpegData(), before);
    EXPECT_EQ(f.countLabel->text().toStdString(), "1   张");
}

TEST_F(DroppingAndFormats, EveryNameTypedInTheOpenDialogIsAddedWhateverTheFilter) {
    makeDefaultFile({});
    MainWindow& f = openWindow();
    pictureFile("one.jpg");
    pictureFile("two.bmp");
    pictureFile("three.jpg");
    modals.then([&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->selectedNameFilter(), "JPEG Image File (*.jpg)");
        // Let the dialog list the folder, so that typing selects the names it shows.
        for (int i = 0; i < 50; ++i) {
            QApplication::processEvents();
            QTest::qWait(10);
        }
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("\"one.jpg\" \"two.bmp\" \"three.jpg\"");
        QApplication::processEvents();
        QMetaObject::invokeMethod(dialog, "accept");
    });
    action("LoadFormFile")->trigger();
    EXPECT_EQ(namesInFile(path()), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(f.countLabel->text().toStdString(), "3   张");
    EXPECT_EQ(modals.unexpected, 0);
}

TEST_F(DroppingAndFormats, DroppedFilesAreAddedOrOpenedAndAnythingElseIgnored) {
    makeDefaultFile(pictureRecords({"a"}));
    createCollection(dir.file("other.vlm"), pictureRecords({"x", "y"}));
    MainWindow& f = openWindow();

    // Several pictures, the new formats among them: named after their files. (The PNG
    // is wider than the GIF's halves, which would otherwise be the same picture.)
    QMimeData three;
    setFiles(three, {pictureFile("猫.png", 44, 30), pictureFile("dog.jpg"), pictureFile("bird.gif")});
    EXPECT_TRUE(drop(three));
    EXPECT_EQ(namesInFile(path()), (std::vector<std::string>{"a", "猫", "dog", "bird"}));
    EXPECT_EQ(f.countLabel->text().toStdString(), "4   张");

    // Text and a file that is no picture are refused at the door.
    QMimeData text;
    text.setText("hello");
    EXPECT_FALSE(drop(text));
    writeFile(dir.file("notes.txt"), "notes");
    QMimeData notes;
    setFiles(notes, {dir.file("notes.txt")});
    EXPECT_FALSE(drop(notes));
    EXPECT_EQ(namesInFile(path()).size(), 4u);

    // One picture data file is opened as the open command opens it.
    QMimeData data;
    setFiles(data, {dir.file("other.vlm")});
    EXPECT_TRUE(drop(data));
    EXPECT_EQ(f.windowTitle().toStdString(), "Velmora    [ " + dir.file("other.vlm") + " ]");
    EXPECT_EQ(f.countLabel->text().toStdString(), "2   张");
    EXPECT_EQ(f.nameLabel->text().toStdString(), "x");
    EXPECT_EQ(modals.unexpected, 0);
    EXPECT_EQ(modals.pending(), 0u);
}

}  // namespace
}  // namespace velmora::test
