// velmora FILE.vlm: the window opens that file as the open command does, instead of
// pictures.vlm of the current directory (the browser's own tests cover bad files).
#include <QDir>

#include "cli/command_line_linux.h"
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
    createCollection(five, pictureRecords({"P1", "P2", "P3", "P4", "P5"}));

    MainWindow& f = openWindow(fileArgument("albums/five.vlm"));
    EXPECT_TRUE(modals.seen.empty());
    EXPECT_EQ(f.windowTitle().toStdString(), "Velmora    [ " + five + " ]");
    EXPECT_EQ(f.countLabel->text().toStdString(), "5   张");
    EXPECT_EQ(f.nameLabel->text().toStdString(), "P1");
    EXPECT_TRUE(f.pictureView->hasPicture());
    EXPECT_FALSE(button("SpeedButton1")->isEnabled());
    EXPECT_TRUE(pictureCommands(true));
    // New files are now made beside it.
    EXPECT_EQ(QDir::currentPath().toStdString(), dir.file("albums"));
}

}  // namespace
}  // namespace velmora::test
