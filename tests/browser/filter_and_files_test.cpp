// The name filter, opening other picture data files and creating new ones.
#include "browser/file_names.h"
#include "store/picture/jpeg_picture.h"
#include "tests/browser/browser_fixture.h"
#include "tests/support/failing_shrink_vfs.h"

namespace velmora::test {
namespace {

class FilterAndFiles : public BrowserTest {
protected:
    void filterBy(std::optional<std::string> text) {
        view.dialogAnswers.push_back({std::move(text)});
        browser->run(CommandId::FilterByName);
    }
    void create(const std::string& name) {
        view.dialogAnswers.push_back({name});
        browser->run(CommandId::NewCollection);
    }
    const CommandStates kEmpty{.previous = false, .next = false, .pictureCommands = false};
};

// Whether a file's bytes hold a record's name or a piece from the middle of its picture.
bool holdsAnyOf(const std::string& path, const std::vector<CollectionRecord>& records) {
    const std::string bytes = readFile(path);
    for (const CollectionRecord& record : records) {
        const auto middle = record.picture.begin() + static_cast<std::ptrdiff_t>(record.picture.size() / 2);
        if (bytes.find(record.name) != std::string::npos ||
            bytes.find(std::string(middle, middle + 32)) != std::string::npos)
            return true;
    }
    return false;
}

using FilterAndFilesOnBoth = OnBoth<FilterAndFiles>;

TEST_P(FilterAndFilesOnBoth, FilteringByTheUntouchedTextMatchesNothing) {
    openNames({"猫1", "小猫", "狗"});
    filterBy(std::nullopt);
    EXPECT_EQ(view.dialogs[0].kind, NameDialogKind::Filter);
    EXPECT_EQ(view.dialogs[0].offered, "输入过滤文字");
    EXPECT_TRUE(listed().empty());
    EXPECT_FALSE(view.picture);
    EXPECT_EQ(state(), " - -");
    EXPECT_EQ(view.countText, "3   张");
}

TEST_P(FilterAndFilesOnBoth, FilterShowAllAndTheirStatements) {
    CollectionBrowser& b = openNames({"猫1", "小猫", "狗", "it's", "50%", "a_b"});
    const struct {
        const char* text;
        std::vector<std::string> listed;
    } cases[] = {
        {"猫", {"猫1", "小猫"}},
        {"'", {"it's"}},  // a quote is found literally
        {"", {"猫1", "小猫", "狗", "it's", "50%", "a_b"}},
        {"0%", {"50%"}},
        {"a_", {"a_b"}},
        {"_'", {"it's"}},  // "_" stands for any one character
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        filterBy(c.text);
        EXPECT_EQ(listed(), c.listed);
        EXPECT_EQ(view.name, c.listed.front());
        EXPECT_EQ(shownBytes().empty(), false);
    }
    b.run(CommandId::ShowAll);
    EXPECT_EQ(listed().size(), 6u);
    EXPECT_EQ(view.name, "猫1");
    EXPECT_EQ(b.queryForTesting().sql(), "select * from pictures\r\n");
    EXPECT_EQ(view.countText, "6   张");
    EXPECT_TRUE(view.boxes.empty());
}

TEST_P(FilterAndFilesOnBoth, OpeningAFileShowsItsFirstPictureAndTitle) {
    CollectionBrowser& b = openNames({"x"});
    TempDir other;
    const std::string five = other.file("five.vlm");
    createCollection(five, pictureRecords({"1", "2", "3", "4", "5"}, 40, 30));
    view.fileAnswers.push_back({five});
    b.run(CommandId::OpenCollection);
    EXPECT_EQ(view.title, "Velmora    [ " + five + " ]");
    EXPECT_EQ(view.countText, "5   张");
    EXPECT_EQ(state(), "1 - next");
    EXPECT_TRUE(view.states.pictureCommands);
    EXPECT_EQ(std::filesystem::current_path(), other.path());
    EXPECT_EQ(view.fileDialogs[0].filter, "Velmora 文件(*.vlm)|*.vlm");

    const std::string empty = other.file("empty.vlm");
    createCollection(empty, {});
    view.fileAnswers.push_back({empty});
    b.openCollection();
    EXPECT_EQ(view.countText, "0   张");
    EXPECT_FALSE(view.picture);
    EXPECT_EQ(view.states, kEmpty);

    view.fileAnswers.push_back({});  // cancelled
    b.openCollection();
    EXPECT_EQ(view.title, "Velmora    [ " + empty + " ]");
}

TEST_P(FilterAndFilesOnBoth, UnderAFilterAnOpenedFileShowsOnlyItsMatches) {
    CollectionBrowser& b = openNames({"猫"});
    filterBy("猫");
    createCollection(dir.file("other.vlm"), pictureRecords({"大猫", "狗", "猫猫"}, 40, 30));
    view.fileAnswers.push_back({dir.file("other.vlm")});
    b.openCollection();
    EXPECT_EQ(listed(), (std::vector<std::string>{"大猫", "猫猫"}));
    EXPECT_EQ(view.countText, "2   张");

    // No match: the empty-file rule, show all and filter off with the other picture commands.
    createCollection(dir.file("dogs.vlm"), pictureRecords({"狗"}, 40, 30));
    view.fileAnswers.push_back({dir.file("dogs.vlm")});
    b.openCollection();
    EXPECT_EQ(view.states, kEmpty);
    EXPECT_EQ(view.countText, "0   张");
}

TEST_P(FilterAndFilesOnBoth, AFailedOpenLeavesEverythingAsItWas) {
    CollectionBrowser& b = openNames({"a", "b"});
    const std::string title = view.title;
    const Bytes shown = shownBytes();
    writeFile(dir.file("bad.vlm"), std::string(1024, 'q'));
    view.fileAnswers.push_back({dir.file("bad.vlm")});
    b.openCollection();
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, "file is not a database.");
    EXPECT_EQ(view.title, title);
    EXPECT_EQ(view.countText, "2   张");
    EXPECT_EQ(shownBytes(), shown);
    EXPECT_TRUE(listed().empty());  // the query stays closed
}

TEST_F(FilterAndFiles, CreatingAFileFromTheTemplate) {
    openNames({"1", "2", "3", "4"});
    create("album");
    EXPECT_EQ(view.dialogs[0].kind, NameDialogKind::NewFile);
    EXPECT_EQ(view.dialogs[0].offered, "新建图片数据库文件");
    EXPECT_TRUE(namesInFile(dir.file("album.vlm")).empty());
    EXPECT_EQ(namesInFile(dir.file("pictures.vlm")).size(), 4u);
    EXPECT_EQ(view.title, "Velmora    [ " + currentDirectory() + "/album.vlm ]");
    EXPECT_EQ(view.countText, "0   张");
    EXPECT_EQ(view.states, kEmpty);
}

TEST_F(FilterAndFiles, CreatingDecodesAndReadsNoPictureOfARecordItDeletes) {
    // Pictures large enough to be read from their front: the headers alone are read.
    CollectionBrowser& b = openNames({"1", "2", "3", "4"}, 1200, 900);
    int refreshes = 0, decoded = 0, fetched = 0;
    const int sink = b.queryForTesting().addChangeSink(
        [&](const Field*) {
            ++refreshes;
            if (!view.picture) return;
            if (view.picture->hasBitmap() || view.picture->hasDisplayBitmap()) ++decoded;
            if (view.picture->hasData() && view.picture->dataFetched()) ++fetched;
        },
        false);
    b.setNeighbourPreloading(false);
    create("empty");
    b.queryForTesting().removeSink(sink);
    EXPECT_GE(refreshes, 4);  // the opening and one per delete
    EXPECT_EQ(decoded, 0);
    EXPECT_EQ(fetched, 0);
    EXPECT_TRUE(namesInFile(dir.file("empty.vlm")).empty());
}

TEST_F(FilterAndFiles, ANewFileHoldsNoByteOfTheTemplatesPicturesAndAFailedWipeLeavesNoFile) {
    const std::vector<CollectionRecord> records = pictureRecords({"Portrait", "Red Pic", "Harbour"}, 400, 300);
    makeCollection(records);
    open();
    const std::string templateBytes = readFile(dir.file("pictures.vlm"));
    ASSERT_TRUE(holdsAnyOf(dir.file("pictures.vlm"), records));
    create("album");
    EXPECT_TRUE(namesInFile(dir.file("album.vlm")).empty());
    EXPECT_FALSE(holdsAnyOf(dir.file("album.vlm"), records));
    EXPECT_EQ(integrityOf(dir.file("album.vlm")), "ok");
    EXPECT_EQ(view.countText, "0   张");

    // The rebuild fails at its last step: reported, and no file is left under the name.
    const std::string title = view.title;
    FailingShrink failure("broken.vlm");
    view.dialogAnswers.push_back({"broken"});
    view.dialogAnswers.push_back({std::nullopt, false});  // the dialog is still open
    browser->newCollection();
    EXPECT_TRUE(failure.failed());
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_NE(view.boxes[0].text.find("broken.vlm was not created: "), std::string::npos) << view.boxes[0].text;
    EXPECT_FALSE(std::filesystem::exists(dir.file("broken.vlm")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("broken.vlm-journal")));
    EXPECT_EQ(view.title, title);
    EXPECT_EQ(readFile(dir.file("pictures.vlm")), templateBytes);
}

TEST_F(FilterAndFiles, CreatingWithAFilterStillEmptiesTheWholeNewFile) {
    openNames({"猫1", "狗", "猫2"});
    filterBy("猫");
    create("new");
    // The record the filter does not select is not left hidden in the "empty" file.
    EXPECT_TRUE(namesInFile(dir.file("new.vlm")).empty());
    EXPECT_EQ(view.states, kEmpty);
    EXPECT_EQ(namesInFile(dir.file("pictures.vlm")).size(), 3u);
}

TEST_F(FilterAndFiles, AFailedCreateIsReportedAndTheDialogStaysOpen) {
    struct Case {
        const char* what;
        bool removeTemplate;
        const char* name;
        const char* message;  // its start
    };
    for (const Case& c : {Case{"no template", true, "new", "unable to open database file."},
                          Case{"name taken", false, "keep", "Cannot create file \""}}) {
        SCOPED_TRACE(c.what);
        // Shown from a file of its own: the template is not held open.
        createCollection(dir.file("shown.vlm"), pictureRecords({"a", "b"}, 40, 30));
        if (!c.removeTemplate) makeCollection(pictureRecords({"t"}, 40, 30));
        createCollection(dir.file("keep.vlm"), pictureRecords({"kept"}, 40, 30));
        open(dir.file("shown.vlm"));
        const std::string title = view.title;
        view.boxes.clear();
        view.dialogAnswers.push_back({c.name});
        view.dialogAnswers.push_back({std::nullopt, false});  // the dialog is still open
        browser->newCollection();
        ASSERT_EQ(view.boxes.size(), 1u);
        EXPECT_EQ(view.boxes[0].text.rfind(c.message, 0), 0u) << view.boxes[0].text;
        EXPECT_EQ(namesInFile(dir.file("keep.vlm")), std::vector<std::string>{"kept"});
        EXPECT_FALSE(std::filesystem::exists(dir.file("new.vlm")));
        EXPECT_EQ(view.dialogAnswers.size(), 0u);
        if (!c.removeTemplate) {
            EXPECT_EQ(view.title, title);
            EXPECT_EQ(view.countText, "2   张");
        }
        browser.reset();
        for (const char* file : {"pictures.vlm", "keep.vlm", "shown.vlm"}) std::filesystem::remove(dir.file(file));
    }
}

VELMORA_ON_FILE_AND_SERVER(FilterAndFilesOnBoth);

}  // namespace
}  // namespace velmora::test
