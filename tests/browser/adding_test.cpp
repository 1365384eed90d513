// Adding pictures: one file through the naming dialog, several at once, the
// clipboard, and files dropped.
#include "store/imagefile/bmp_writer.h"
#include "tests/browser/browser_fixture.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

const Bytes kJfifStart{0xFF, 0xD8, 0xFF, 0xE0};

class Adding : public BrowserTest {
protected:
    // Each file a picture of its own: the same bytes twice would be a duplicate.
    std::string jpegFile(const std::string& name, int w = 120, int h = 90) {
        return put(name, tools::syntheticJpeg(w, h, ++pictures));
    }
    std::string bmpFile(const std::string& name) { return put(name, encodeBmp(tools::syntheticBitmap(64, 48, ++pictures))); }
    int pictures = 4;
    std::string path() { return dir.file("pictures.vlm"); }
    static Bytes front(const Bytes& bytes) { return Bytes(bytes.begin(), bytes.begin() + 4); }
};

using AddingOnBoth = OnBoth<Adding>;

TEST_P(AddingOnBoth, AJpegFileInAnEmptyFileIsStoredByteForByte) {
    makeCollection({});
    open();
    const std::string file = jpegFile("photo.JPG");
    view.fileAnswers.push_back({file});
    view.dialogAnswers.push_back({});
    browser->run(CommandId::AddFromFile);
    ASSERT_EQ(view.dialogs.size(), 1u);
    EXPECT_EQ(view.dialogs[0].kind, NameDialogKind::PictureName);
    EXPECT_EQ(view.dialogs[0].offered, "图片1");
    EXPECT_EQ(stored(), std::vector<std::string>{"图片1"});
    const Bytes stored = storedPictures()[0];
    EXPECT_EQ(std::string(stored.begin(), stored.end()), readFile(file));
    EXPECT_EQ(view.countText, "1   张");
    EXPECT_TRUE(view.states.pictureCommands);
    // The refresh after the post finds neither end flag set.
    EXPECT_EQ(state(), "图片1 prev next");
    EXPECT_FALSE(browser->nameAccepted());
    ASSERT_EQ(view.fileDialogs.size(), 1u);
    EXPECT_EQ(view.fileDialogs[0].filter,
              "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
              "PNG Image File (*.png)|*.png|GIF Image File (*.gif)|*.gif|WebP Image File (*.webp)|*.webp|"
              "TIFF Image File (*.tif;*.tiff)|*.tif;*.tiff|"
              "All Support Files(*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.webp;*.tif;*.tiff)|"
              "*.jpg;*.jpeg;*.bmp;*.png;*.gif;*.webp;*.tif;*.tiff");
}

TEST_P(AddingOnBoth, ABmpFileIsStoredAsBaselineJfif) {
    openNames({"a", "b"});
    view.fileAnswers.push_back({bmpFile("drawing.bmp")});
    view.dialogAnswers.push_back({"画"});
    browser->addFromFiles();
    EXPECT_EQ(view.dialogs[0].offered, "图片3");
    const auto pictures = storedPictures();
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_EQ(front(pictures[2]), kJfifStart);
    EXPECT_EQ(view.countText, "3   张");
}

TEST_P(AddingOnBoth, CancellingBringsBackWhatWasShownBefore) {
    for (bool empty : {false, true}) {
        SCOPED_TRACE(empty ? "empty file" : "two pictures");
        std::filesystem::remove(path());
        view.clearPicture();  // a window of its own
        makeCollection(empty ? std::vector<CollectionRecord>{} : pictureRecords({"a", "b"}));
        open();
        const Bytes before = shownBytes();
        view.fileAnswers.push_back({jpegFile("new.jpg")});
        view.dialogAnswers.push_back({std::nullopt, false});
        browser->addFromFiles();
        EXPECT_EQ(shownBytes(), before);
        EXPECT_EQ(view.picture.has_value(), !empty);
        EXPECT_EQ(stored().size(), empty ? 0u : 2u);
        EXPECT_EQ(view.countText, empty ? "0   张" : "2   张");
        EXPECT_EQ(view.states.pictureCommands, !empty);
        browser.reset();
    }
}

TEST_P(AddingOnBoth, AnEmptyNameIsRefusedThenATypedOneAccepted) {
    makeCollection({});
    open();
    view.fileAnswers.push_back({jpegFile("new.jpg")});
    view.dialogAnswers.push_back({""});
    view.dialogAnswers.push_back({" 猫 "});
    browser->addFromFiles();
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].kind, BoxKind::Condition);
    EXPECT_EQ(view.boxes[0].text, "请输入图片名！");
    EXPECT_EQ(stored(), std::vector<std::string>{" 猫 "});
}

TEST_P(AddingOnBoth, AFileThatIsNoPictureWritesNothing) {
    openNames({"a"});
    const Bytes before = shownBytes();
    const struct {
        const char* name;
        std::string content;
        const char* message;
    } cases[] = {
        {"fake.jpg", "\x89PNG\r\n\x1a\n0000", "JPEG error #53."},
        {"photo.psd", "8BPS", "Unknown picture file extension (.psd)"},
        {"cut.bmp", "BM\x10", "Stream read error."},
        {"icon.ico", std::string("\0\0\1\0", 4), "Icon image is not valid."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view.boxes.clear();
        writeFile(dir.file(c.name), c.content);
        view.fileAnswers.push_back({dir.file(c.name)});
        browser->addFromFiles();
        ASSERT_EQ(view.boxes.size(), 1u);
        EXPECT_EQ(view.boxes[0].kind, BoxKind::Error);
        EXPECT_EQ(view.boxes[0].text, c.message);
        EXPECT_EQ(shownBytes(), before);
        EXPECT_EQ(stored().size(), 1u);
        EXPECT_EQ(view.countText, "1   张");
    }
    EXPECT_TRUE(view.dialogs.empty());
}

TEST_P(AddingOnBoth, PastingLeavesOnlyThePreviousButtonAvailable) {
    openNames({"a", "b"});
    clipboard.offerBitmap(tools::syntheticBitmap(80, 60, 9));
    view.dialogAnswers.push_back({"粘贴的图"});
    browser->run(CommandId::Paste);
    EXPECT_EQ(view.dialogs[0].offered, "图片3");
    EXPECT_EQ(stored().back(), "粘贴的图");
    EXPECT_EQ(state(), "粘贴的图 prev -");
    EXPECT_EQ(view.countText, "3   张");
    EXPECT_EQ(front(storedPictures().back()), kJfifStart);
}

TEST_P(AddingOnBoth, PastingWithOnlyTextOnTheClipboardOrCancellingChangesNothing) {
    openNames({"a"});
    clipboard.offerText("hello");
    browser->paste();
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, "剪贴板中没有二进制图片拷贝!");

    clipboard.offerBitmap(tools::syntheticBitmap(30, 20, 1));
    view.dialogAnswers.push_back({std::nullopt, false});
    browser->paste();
    EXPECT_EQ(shownBytes(), storedPictures()[0]);
    EXPECT_EQ(stored().size(), 1u);
    EXPECT_EQ(view.countText, "1   张");
    EXPECT_TRUE(view.dialogs.size() == 1 && view.boxes.size() == 1);
}

TEST_P(AddingOnBoth, ManyFilesAreNamedAfterThemselvesAndTheOnesNotAddedAreListed) {
    makeCollection({});
    open();
    std::vector<std::string> files, expected;
    for (int i = 0; i < 20; ++i) {
        const std::string name = "p" + std::to_string(100 + i);
        files.push_back(i % 2 ? bmpFile(name + ".bmp") : jpegFile(name + ".jpg", 24 + i, 16));
        if (i != 4 && i != 9 && i != 13) expected.push_back(name);
    }
    writeFile(files[4], "not a jpeg");            // p104.jpg
    writeFile(files[9], "BM");                    // p109.bmp
    std::filesystem::remove(files[13]);           // p113.bmp: typed, but not there
    view.fileAnswers.push_back(files);
    browser->addFromFiles();
    EXPECT_EQ(stored(), expected);
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].kind, BoxKind::NotAdded);
    EXPECT_EQ(view.boxes[0].text.substr(0, view.boxes[0].text.find("p113")),
              "以下 3 个文件未能添加：\n\np104.jpg: JPEG error #53\np109.bmp: Stream read error\n");
    EXPECT_TRUE(view.boxes[0].details.empty());
    EXPECT_EQ(view.progressLabels.front(), "正在添加图片 1 / 20");
    EXPECT_EQ(view.progressLabels.size(), 20u);
    // A JPEG file keeps its bytes; a BMP becomes a JPEG stream.
    const auto pictures = storedPictures();
    EXPECT_EQ(std::string(pictures[0].begin(), pictures[0].end()), readFile(files[0]));
    EXPECT_EQ(front(pictures[1]), kJfifStart);
    // The rule once, at the end, with the last added picture current.
    EXPECT_EQ(view.countText, "17   张");
    EXPECT_EQ(state(), "p119 prev -");
    EXPECT_TRUE(view.states.pictureCommands);
    EXPECT_TRUE(view.dialogs.empty());

    // Cancelled at the eleventh: ten stay, nothing is reported. Five or fewer show no progress.
    std::vector<std::string> more;
    for (int i = 0; i < 30; ++i) more.push_back(jpegFile("q" + std::to_string(100 + i) + ".jpg", 20, 20));
    view.cancelProgressAt = 10;
    view.fileAnswers.push_back(more);
    browser->addFromFiles();
    view.fileAnswers.push_back({jpegFile("r1.jpg"), jpegFile("r2.jpg")});
    view.progressLabels.clear();
    browser->addFromFiles();
    EXPECT_TRUE(view.progressLabels.empty());
    const auto after = stored();
    ASSERT_EQ(after.size(), 29u);
    EXPECT_EQ(after[17], "q100");
    EXPECT_EQ(after[26], "q109");
    EXPECT_EQ(after[28], "r2");
    EXPECT_EQ(view.countText, "29   张");
    EXPECT_EQ(view.boxes.size(), 1u);
}

TEST_P(AddingOnBoth, ALongListOfFilesNotAddedNamesTheFirstFifteenAndAllInTheDetails) {
    makeCollection({});
    open();
    std::vector<std::string> files;
    for (int i = 0; i < 18; ++i) files.push_back(dir.file("gone" + std::to_string(i) + ".jpg"));
    view.fileAnswers.push_back(files);
    browser->addFromFiles();
    ASSERT_EQ(view.boxes.size(), 1u);
    const std::string& text = view.boxes[0].text;
    EXPECT_EQ(text.rfind("以下 18 个文件未能添加：\n\ngone0.jpg: ", 0), 0u) << text;
    EXPECT_NE(text.find("gone14.jpg"), std::string::npos);
    EXPECT_EQ(text.find("gone15.jpg"), std::string::npos);
    EXPECT_EQ(text.substr(text.rfind('\n')), "\n……（另有 3 个）");
    EXPECT_NE(view.boxes[0].details.find("gone17.jpg: "), std::string::npos);
    EXPECT_EQ(view.countText, "0   张");
}

TEST_P(AddingOnBoth, DroppedFilesAreAddedOrOpenedOnceTheDropHasReturned) {
    openNames({"a"});
    createCollection(dir.file("other.vlm"), pictureRecords({"x", "y"}));
    const std::vector<std::string> three{jpegFile("cat.jpg"), bmpFile("dog.bmp"), jpegFile("bird.jpeg")};
    EXPECT_TRUE(browser->acceptsDrop(three));
    browser->drop(three);
    EXPECT_EQ(stored().size(), 1u);  // not yet
    view.runPosted();
    EXPECT_EQ(stored(), (std::vector<std::string>{"a", "cat", "dog", "bird"}));
    EXPECT_EQ(view.countText, "4   张");

    // One picture goes through the naming dialog, as a single add does.
    view.dialogAnswers.push_back({"拖入的图"});
    browser->drop({jpegFile("single.jpg")});
    view.runPosted();
    EXPECT_EQ(view.dialogs.back().offered, "图片5");
    EXPECT_EQ(stored().back(), "拖入的图");

    // A file that is no picture, an icon and a collection among pictures are refused.
    writeFile(dir.file("notes.txt"), "notes");
    for (const auto& refused : std::vector<std::vector<std::string>>{
             {dir.file("notes.txt")}, {dir.file("icon.ico")}, {dir.file("other.vlm"), dir.file("notes.txt")}}) {
        EXPECT_FALSE(browser->acceptsDrop(refused));
    }

    // One picture data file is opened as the open command opens it.
    EXPECT_TRUE(browser->acceptsDrop({dir.file("other.vlm")}));
    browser->drop({dir.file("other.vlm")});
    view.runPosted();
    EXPECT_EQ(view.title, "Velmora    [ " + dir.file("other.vlm") + " ]");
    EXPECT_EQ(view.countText, "2   张");
    EXPECT_EQ(view.name, "x");
    EXPECT_EQ(view.unexpected, 0);
}

VELMORA_ON_FILE_AND_SERVER(AddingOnBoth);

}  // namespace
}  // namespace velmora::test
