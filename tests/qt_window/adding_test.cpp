// Adding pictures from files and from the clipboard through the naming dialog.
#include <QLineEdit>

#include "store/imagefile/bmp_writer.h"
#include "tests/gui_support/browser_fixture.h"
#include "tests/support/store_fixture.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

class Adding : public BrowserTest {
protected:
    std::string jpegFile(const std::string& name, int w = 120, int h = 90) {
        Bytes bytes = tools::syntheticJpeg(w, h, 5);
        writeFile(dir.file(name), std::string(bytes.begin(), bytes.end()));
        return dir.file(name);
    }
    std::string bmpFile(const std::string& name) {
        Bytes bytes = encodeBmp(tools::syntheticBitmap(64, 48, 3));
        writeFile(dir.file(name), std::string(bytes.begin(), bytes.end()));
        return dir.file(name);
    }
    std::string path() { return dir.file("pictures.vlm"); }
};

TEST_F(Adding, AJpegFileInAnEmptyFileIsStoredByteForByte) {
    makeDefaultFile({});
    MainWindow& f = openWindow();
    std::string file = jpegFile("photo.JPG");
    dialogs.answers.push_back(file);
    QString proposed;
    confirmDialog(modals, std::nullopt, &proposed);
    f.addFromFileAction->trigger();
    EXPECT_EQ(proposed, "图片1");
    EXPECT_EQ(namesInFile(path()), std::vector<std::string>{"图片1"});
    Bytes stored = picturesInFile(path())[0];
    EXPECT_EQ(std::string(stored.begin(), stored.end()), readFile(file));
    EXPECT_EQ(f.countLabel->text().toStdString(), "1   张");
    EXPECT_TRUE(pictureCommands(true));
    // The refresh after the post finds neither end flag set.
    EXPECT_TRUE(f.previousButton->isEnabled());
    EXPECT_TRUE(f.nextButton->isEnabled());
    EXPECT_EQ(f.nameLabel->text(), "图片1");
    EXPECT_FALSE(f.nameEntry.accepted);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].filter,
              "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
              "PNG Image File (*.png)|*.png|GIF Image File (*.gif)|*.gif|WebP Image File (*.webp)|*.webp|"
              "TIFF Image File (*.tif;*.tiff)|*.tif;*.tiff|"
              "All Support Files(*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.webp;*.tif;*.tiff)|"
              "*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.webp;*.tif;*.tiff");
}

TEST_F(Adding, ABmpFileIsStoredAsBaselineJfif) {
    makeDefaultFile(pictureRecords({"a", "b"}));
    MainWindow& f = openWindow();
    dialogs.answers.push_back(bmpFile("drawing.bmp"));
    QString proposed;
    confirmDialog(modals, QString("画"), &proposed);
    f.addFromFileAction->trigger();
    EXPECT_EQ(proposed, "图片3");
    auto pictures = picturesInFile(path());
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_EQ(Bytes(pictures[2].begin(), pictures[2].begin() + 4), (Bytes{0xFF, 0xD8, 0xFF, 0xE0}));
    EXPECT_EQ(f.countLabel->text().toStdString(), "3   张");
}

TEST_F(Adding, CancellingBringsBackThePictureShownBefore) {
    makeDefaultFile(pictureRecords({"a", "b"}));
    MainWindow& f = openWindow();
    SharedBytes before = f.pictureView->picture().jpegData();
    dialogs.answers.push_back(jpegFile("new.jpg"));
    cancelDialog(modals);
    f.addFromFileAction->trigger();
    EXPECT_EQ(f.pictureView->picture().jpegData(), before);
    EXPECT_EQ(namesInFile(path()).size(), 2u);
    EXPECT_EQ(f.countLabel->text().toStdString(), "2   张");
}

TEST_F(Adding, CancellingInAnEmptyFileLeavesTheDisplayEmpty) {
    makeDefaultFile({});
    MainWindow& f = openWindow();
    dialogs.answers.push_back(jpegFile("new.jpg"));
    cancelDialog(modals);
    f.addFromFileAction->trigger();
    EXPECT_FALSE(f.pictureView->hasPicture());
    EXPECT_TRUE(namesInFile(path()).empty());
    EXPECT_TRUE(pictureCommands(false));
}

TEST_F(Adding, AnEmptyNameIsRefusedThenATypedOneAccepted) {
    makeDefaultFile({});
    MainWindow& f = openWindow();
    dialogs.answers.push_back(jpegFile("new.jpg"));
    confirmDialog(modals, QString(""));
    modals.answerBox();
    confirmDialog(modals, QString(" 猫 "));
    f.addFromFileAction->trigger();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].kind, "ConditionBox");
    EXPECT_EQ(modals.seen[0].text, "请输入图片名！");
    EXPECT_EQ(namesInFile(path()), std::vector<std::string>{" 猫 "});
}

TEST_F(Adding, AFileThatIsNotAPictureWritesNothing) {
    makeDefaultFile(pictureRecords({"a"}));
    MainWindow& f = openWindow();
    SharedBytes before = f.pictureView->picture().jpegData();
    writeFile(dir.file("fake.jpg"), "\x89PNG\r\n\x1a\n0000");
    dialogs.answers.push_back(dir.file("fake.jpg"));
    modals.answerBox();
    f.addFromFileAction->trigger();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].text, "JPEG error #53.");
    EXPECT_EQ(f.pictureView->picture().jpegData(), before);
    EXPECT_EQ(namesInFile(path()).size(), 1u);

    writeFile(dir.file("photo.psd"), "8BPS");
    dialogs.answers.push_back(dir.file("photo.psd"));
    modals.answerBox();
    f.addFromFileAction->trigger();
    ASSERT_EQ(modals.seen.size(), 2u);
    EXPECT_EQ(modals.seen[1].text, "Unknown picture file extension (.psd)");
}

TEST_F(Adding, PastingLeavesOnlyThePreviousButtonAvailable) {
    makeDefaultFile(pictureRecords({"a", "b"}));
    MainWindow& f = openWindow();
    Bitmap bitmap = tools::syntheticBitmap(80, 60, 9);
    clipboard.offerBitmap(bitmap);
    confirmDialog(modals, QString("粘贴的图"));
    f.pasteAction->trigger();
    EXPECT_EQ(namesInFile(path()).back(), "粘贴的图");
    EXPECT_TRUE(f.previousButton->isEnabled());
    EXPECT_FALSE(f.nextButton->isEnabled());
    EXPECT_EQ(f.countLabel->text().toStdString(), "3   张");
    Bytes stored = picturesInFile(path()).back();
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 4), (Bytes{0xFF, 0xD8, 0xFF, 0xE0}));
}

TEST_F(Adding, PastingWithOnlyTextOnTheClipboardChangesNothing) {
    makeDefaultFile(pictureRecords({"a"}));
    MainWindow& f = openWindow();
    clipboard.offerText("hello");
    modals.answerBox();
    f.pasteAction->trigger();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].text, "剪贴板中没有二进制图片拷贝!");
    EXPECT_EQ(namesInFile(path()).size(), 1u);
    EXPECT_EQ(f.countLabel->text().toStdString(), "1   张");
}

TEST_F(Adding, CancellingAPasteRestoresTheStoredPicture) {
    makeDefaultFile(pictureRecords({"a"}));
    MainWindow& f = openWindow();
    clipboard.offerBitmap(tools::syntheticBitmap(30, 20, 1));
    cancelDialog(modals);
    f.pasteAction->trigger();
    EXPECT_EQ(*f.pictureView->picture().jpegData(), picturesInFile(path())[0]);
    EXPECT_EQ(namesInFile(path()).size(), 1u);
}

}  // namespace
}  // namespace velmora::test
