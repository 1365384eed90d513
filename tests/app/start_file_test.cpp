// velmora FILE.vlm: the window opens that file as the open command does, instead of
// pictures.vlm of the current directory, and reports a bad one as it reports a bad
// default file.
#include <QDir>

#include "app/command_line.h"
#include "browser/app_title.h"
#include "tests/gui_support/browser_fixture.h"

namespace velmora::test {
namespace {

using StartFile = BrowserTest;

std::optional<std::string> fileArgument(const char* argument) {
    const char* argv[] = {"velmora", argument};
    return parseCommandLine(2, argv).file;
}

TEST_F(StartFile, OpensTheNamedFileAndMovesToItsFolder) {
    makeDefaultFile(pictureRecords({"default"}));
    std::filesystem::create_directory(dir.path() / "albums");
    const std::string five = dir.file("albums/five.vlm");
    tools::createCollection(five, pictureRecords({"P1", "P2", "P3", "P4", "P5"}));
    tools::createCollection(dir.file("albums/empty.vlm"));

    MainWindow& f = openWindow(fileArgument("albums/five.vlm"));
    EXPECT_TRUE(modals.seen.empty());
    EXPECT_EQ(f.windowTitle().toStdString(), "Velmora    [ " + five + " ]");
    EXPECT_EQ(f.countLabel->text().toStdString(), "5   张");
    EXPECT_EQ(f.nameLabel->text().toStdString(), "P1");
    EXPECT_TRUE(f.pictureView->hasPicture());
    EXPECT_FALSE(f.previousButton->isEnabled());
    EXPECT_TRUE(f.nextButton->isEnabled());
    EXPECT_TRUE(pictureCommands(true));
    // New files are now made beside it.
    EXPECT_EQ(QDir::currentPath().toStdString(), dir.file("albums"));

    // An empty file gets the empty-file rule, as the open command gives it.
    form.reset();
    MainWindow& e = openWindow(fileArgument("empty.vlm"));
    EXPECT_EQ(e.windowTitle().toStdString(), "Velmora    [ " + dir.file("albums/empty.vlm") + " ]");
    EXPECT_EQ(e.countLabel->text().toStdString(), "0   张");
    EXPECT_FALSE(e.nextButton->isEnabled());
    EXPECT_TRUE(pictureCommands(false));
    EXPECT_FALSE(e.pictureView->hasPicture());
}

TEST_F(StartFile, MissingOrDamagedFileIsReportedAsABadDefaultFileIs) {
    std::filesystem::create_directory(dir.path() / "other");
    for (bool damaged : {false, true}) {
        SCOPED_TRACE(damaged ? "damaged" : "missing");
        QDir::setCurrent(QString::fromStdString(dir.path().string()));
        std::filesystem::remove(dir.file("pictures.vlm"));
        std::filesystem::remove(dir.file("other/named.vlm"));
        if (damaged) {
            writeFile(dir.file("pictures.vlm"), std::string(2048, 'z'));
            writeFile(dir.file("other/named.vlm"), std::string(2048, 'z'));
        }
        modals.seen.clear();
        modals.answerBox();
        openWindow();
        modals.answerBox();
        MainWindow& f = openWindow(dir.file("other/named.vlm"));
        ASSERT_EQ(modals.seen.size(), 2u);
        EXPECT_EQ(modals.seen[1].kind, modals.seen[0].kind);
        EXPECT_EQ(modals.seen[1].title, modals.seen[0].title);
        EXPECT_EQ(modals.seen[1].text, modals.seen[0].text);
        EXPECT_EQ(modals.seen[1].text, damaged ? "file is not a database." : "unable to open database file.");
        // The window still opens, in its design state.
        EXPECT_EQ(f.windowTitle().toStdString(), kApplicationTitle);
        EXPECT_EQ(f.countLabel->text().toStdString(), "显示数据库图片数");
        EXPECT_TRUE(pictureCommands(true));
        form.reset();
    }
}

}  // namespace
}  // namespace velmora::test
