// Window creation: the default file or the command line's, the title, the count label
// and which commands are available; failures while the window is created.
#include "browser/file_names.h"
#include "tests/browser/browser_fixture.h"

namespace velmora::test {
namespace {

using Startup = BrowserTest;

TEST_F(Startup, EmptyDefaultFileLeavesOnlyTheAlwaysAvailableCommands) {
    makeDefaultFile({});
    open();
    EXPECT_EQ(view.countText, "0   张");
    EXPECT_EQ(view.states, (CommandStates{.previous = false, .next = false, .pictureCommands = false}));
    EXPECT_FALSE(view.picture);
    EXPECT_TRUE(view.boxes.empty());
}

// Whoever asks (a button, a key, the viewer's menu), a command that is not available does
// nothing; called as a method, it still checks its own conditions.
TEST_F(Startup, ACommandThatIsNotAvailableDoesNothing) {
    makeDefaultFile({});
    open();
    for (CommandId command : {CommandId::Previous, CommandId::Next, CommandId::Delete, CommandId::SetAsWallpaper,
                              CommandId::Save, CommandId::Rename, CommandId::ShowAll, CommandId::FilterByName,
                              CommandId::Copy, CommandId::Cut, CommandId::Undo}) {
        browser->run(command);
    }
    EXPECT_TRUE(view.boxes.empty()) << view.boxTexts();
    EXPECT_TRUE(view.dialogs.empty() && view.fileDialogs.empty() && view.windowSteps.empty());
    browser->deletePicture();
    EXPECT_EQ(view.boxTexts(), "当前没有可删除的图片");
    view.fileAnswers.push_back({});
    browser->run(CommandId::AddFromFile);
    EXPECT_EQ(view.fileDialogs.size(), 1u);
}

TEST_F(Startup, ThreeRecordsShowTheFirstPicture) {
    openNames({"R1", "R2", "R3"});
    EXPECT_EQ(view.countText, "3   张");
    EXPECT_EQ(state(), "R1 - next");
    EXPECT_TRUE(view.states.pictureCommands);
    EXPECT_EQ(shownBytes(), picturesInFile(dir.file("pictures.vlm"))[0]);
    EXPECT_EQ(view.title, "Zantrel桌面壁纸管理软件    默认文件[ " + currentDirectory() + "\\pictures.vlm ]");
}

TEST_F(Startup, AnotherWorkingDirectoryOpensItsOwnDefaultFile) {
    makeDefaultFile(pictureRecords({"here"}));
    TempDir other;
    createCollection(other.file("pictures.vlm"), pictureRecords({"there1", "there2"}));
    std::filesystem::current_path(other.path());
    open();
    EXPECT_EQ(view.name, "there1");
    EXPECT_NE(view.title.find(other.path().string() + "\\pictures.vlm ]"), std::string::npos);
    browser.reset();
}

TEST_F(Startup, ABadDefaultOrStartFileIsReportedAndTheDesignStateStays) {
    std::filesystem::create_directory(dir.path() / "other");
    struct Case {
        const char* what;
        bool damaged;
        bool startFile;
        const char* message;
    };
    for (const Case& c : {Case{"missing default", false, false, "unable to open database file."},
                          Case{"damaged default", true, false, "file is not a database."},
                          Case{"missing start file", false, true, "unable to open database file."},
                          Case{"damaged start file", true, true, "file is not a database."}}) {
        SCOPED_TRACE(c.what);
        browser.reset();
        std::filesystem::current_path(dir.path());
        const std::string file = c.startFile ? dir.file("other/named.vlm") : dir.file("pictures.vlm");
        std::filesystem::remove(file);
        if (c.damaged) writeFile(file, std::string(2048, 'z'));
        view.boxes.clear();
        open(c.startFile ? std::optional(file) : std::nullopt);
        ASSERT_EQ(view.boxes.size(), 1u);
        EXPECT_EQ(view.boxes[0].kind, BoxKind::Error);
        EXPECT_EQ(view.boxes[0].text, c.message);
        EXPECT_EQ(view.title, "Zantrel桌面壁纸管理软件");
        EXPECT_EQ(view.countText, "显示数据库图片数");
        EXPECT_EQ(view.states, CommandStates{});
        EXPECT_EQ(std::filesystem::exists(file), c.damaged);
    }
    // The buttons report the store's error through the same handler.
    browser->next();
    ASSERT_EQ(view.boxes.size(), 2u);
    EXPECT_EQ(view.boxes[1].text, "ADOQuery1: Field 'picture' not found.");
}

TEST_F(Startup, AStartFileIsOpenedAsTheOpenCommandOpensItAndItsFolderBecomesCurrent) {
    makeDefaultFile(pictureRecords({"default"}));
    std::filesystem::create_directory(dir.path() / "albums");
    const std::string five = dir.file("albums/five.vlm");
    createCollection(five, pictureRecords({"P1", "P2", "P3", "P4", "P5"}));
    createCollection(dir.file("albums/empty.vlm"));

    open(std::string("albums/five.vlm"));
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_EQ(view.title, "Velmora    [ " + (dir.path() / "albums" / "five.vlm").string() + " ]");
    EXPECT_EQ(view.countText, "5   张");
    EXPECT_EQ(state(), "P1 - next");
    EXPECT_TRUE(view.states.pictureCommands);
    EXPECT_EQ(std::filesystem::current_path(), dir.path() / "albums");

    // An empty file gets the empty-file rule, as the open command gives it.
    open(std::string("empty.vlm"));
    EXPECT_EQ(view.countText, "0   张");
    EXPECT_EQ(view.states, (CommandStates{.previous = false, .next = false, .pictureCommands = false}));
    EXPECT_FALSE(view.picture);
}

TEST_F(Startup, WebSiteOpensTheAddressAndQuitClosesTheWindow) {
    makeDefaultFile({});
    open();
    browser->run(CommandId::WebSite);
    EXPECT_EQ(openedUrls, std::vector<std::string>{kWebSiteAddress});
    browser->run(CommandId::Quit);
    EXPECT_EQ(view.windowSteps, std::vector<std::string>{"close main window"});
}

}  // namespace
}  // namespace velmora::test
