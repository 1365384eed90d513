// The full-size viewer, and the wallpaper command started from both windows.
#include "tests/browser/browser_fixture.h"

namespace velmora::test {
namespace {

class ViewerAndWallpaper : public BrowserTest {
protected:
    static std::string wallpaperFile(const std::string& name) {
        return "C:\\WINDOWS\\Web\\Wallpaper\\myWallPaper\\" + name + ".bmp";
    }
};

TEST_F(ViewerAndWallpaper, TheViewerShowsThePictureAtItsOwnSizeWithItsCaptionAndHint) {
    CollectionBrowser& b = openNames({"图片1", "图片2", "图片3"}, 1024, 768);
    b.next();
    b.next();
    b.openViewer();
    ASSERT_EQ(view.viewers.size(), 1u);
    EXPECT_EQ(view.viewers[0].caption, "查看原始图片    < 图片3 >");
    EXPECT_EQ(view.viewers[0].hint, "图片大小：1024 X 768     单击关闭");
    EXPECT_TRUE(view.viewers[0].picture.hasBitmap());
    EXPECT_EQ(view.viewers[0].picture.bitmap().width(), 1024);
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_EQ(view.name, "图片3");
}

TEST_F(ViewerAndWallpaper, APictureThatDoesNotDecodeOpensNoViewer) {
    auto records = pictureRecords({"broken"});
    records[0].picture = withoutQuantizationTables(records[0].picture);
    makeDefaultFile(records);
    open();
    view.boxes.clear();
    browser->openViewer();
    EXPECT_TRUE(view.viewers.empty());
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].kind, BoxKind::Error);
}

TEST_F(ViewerAndWallpaper, TheMainWindowsCommandWritesTheBitmapAndSetsTheWallpaper) {
    CollectionBrowser& b = openNames({"夕阳", "b"}, 101, 10);
    b.run(CommandId::SetAsWallpaper);
    ASSERT_TRUE(files.hasFile(wallpaperFile("夕阳")));
    EXPECT_EQ(files.fileContent(wallpaperFile("夕阳"))->size(), 54u + 304 * 10);
    EXPECT_EQ(desktop.wallpaper, wallpaperFile("夕阳"));
    EXPECT_EQ(desktop.sleptMilliseconds, 1000u);
    EXPECT_EQ(view.windowSteps, (std::vector<std::string>{"hide main window", "show main window"}));
    EXPECT_TRUE(registry.value("software\\Velmora", "FileName"));
}

TEST_F(ViewerAndWallpaper, TheViewersCommandUsesItsPictureAndClosesIt) {
    CollectionBrowser& b = openNames({"海"}, 64, 48);
    view.whileViewerOpen = [&] { b.run(CommandId::ViewerWallpaper); };
    b.openViewer();
    EXPECT_TRUE(files.hasFile(wallpaperFile("海")));
    EXPECT_EQ(view.windowSteps, (std::vector<std::string>{"hide main window", "close viewer", "show main window"}));

    view.whileViewerOpen = [&] { b.run(CommandId::CloseViewer); };
    b.openViewer();
    EXPECT_EQ(view.windowSteps.back(), "close viewer");
    EXPECT_EQ(view.unexpected, 0);
}

TEST_F(ViewerAndWallpaper, NoPictureGivesEachVariantItsMessage) {
    openNames({"猫"});
    view.dialogAnswers.push_back({"nothing matches"});
    browser->filterByName();
    browser->setAsWallpaper();
    browser->setViewerAsWallpaper();
    EXPECT_EQ(view.boxTexts(), "当前没有可作为桌面的图片! | 没有图片源!");
    EXPECT_EQ(view.boxes[0].kind, BoxKind::Condition);
    EXPECT_TRUE(desktop.wallpaper.empty());
    EXPECT_TRUE(calls.calls.empty());
}

}  // namespace
}  // namespace velmora::test
