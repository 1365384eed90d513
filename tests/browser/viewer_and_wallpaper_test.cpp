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

namespace velmora::test {
namespace {

// The settings dialog: what it offers, what it refuses, what it saves and how the
// wallpaper command of the window then lays the picture out.
TEST_F(ViewerAndWallpaper, SettingsChosenInTheDialogAreSavedAndUsedByTheWallpaperCommand) {
    CollectionBrowser& b = openNames({"夕阳", "海", "山"}, 64, 48);
    const std::string collection = dir.file("pictures.vlm");

    // Nothing saved: the command runs as it always did, and the desktop keeps its own layout.
    b.run(CommandId::SetAsWallpaper);
    EXPECT_EQ(desktop.wallpaper, wallpaperFile("夕阳"));
    ASSERT_TRUE(desktop.layout);
    EXPECT_TRUE(!desktop.layout->fit && !desktop.layout->lockScreen && desktop.layout->monitorFiles.empty());
    EXPECT_EQ(view.windowSteps, (std::vector<std::string>{"hide main window", "show main window"}));
    EXPECT_EQ(wallpaperSettings.store.saves, 0);

    // An interval that is no duration is refused with a reason; the dialog stays open
    // and nothing is saved or scheduled.
    std::vector<bool> accepted;
    WallpaperSettingsChoice chosen;
    view.inWallpaperSettings = [&](const WallpaperSettingsRequest& request) {
        for (const WallpaperSettingsChoice& choice : {chosen, [&] {
                 WallpaperSettingsChoice fixed = chosen;
                 fixed.interval = " 1h30m ";
                 return fixed;
             }()}) {
            accepted.push_back(request.accept(choice));
            if (accepted.back()) break;
            EXPECT_EQ(wallpaperSettings.store.saves, 0);
            EXPECT_TRUE(wallpaperSettings.timer.calls.empty());
        }
    };
    chosen = {.fit = platform::FitMode::Tile, .rotate = true, .interval = "30 分钟", .order = RotationOrder::Shuffle,
              .lockScreen = true};
    b.run(CommandId::WallpaperSettings);
    ASSERT_EQ(view.wallpaperSettingsShown.size(), 1u);
    WallpaperSettingsChoice offered;  // nothing chosen; the interval offered for turning rotation on
    offered.interval = "30m";
    offered.leftOut = false;
    EXPECT_EQ(view.wallpaperSettingsShown[0], offered);
    EXPECT_EQ(accepted, (std::vector<bool>{false, true}));
    EXPECT_EQ(view.boxes.back().kind, BoxKind::Condition);
    EXPECT_EQ(view.boxes.back().text, "更换间隔“30 分钟”无效，请输入如 30m、2h 或 1h30m 的时间（最长一年）!");
    EXPECT_EQ(wallpaperSettings.store.values, (platform::SettingValues{{"fit", "tile"},
                                                                        {"lock-screen", "same"},
                                                                        {"order", "shuffle"},
                                                                        {"rotate-every", "1h30m"}}));
    // The timer runs on the collection open in the window.
    ASSERT_EQ(wallpaperSettings.timer.calls.size(), 1u);
    const std::string scheduled = wallpaperSettings.timer.calls[0];
    ASSERT_EQ(scheduled.rfind("schedule 90 ", 0), 0u) << scheduled;
    EXPECT_TRUE(std::filesystem::equivalent(scheduled.substr(12), collection)) << scheduled;

    // The window's command and the viewer's now lay the picture out as chosen.
    b.next();
    b.run(CommandId::SetAsWallpaper);
    EXPECT_EQ(desktop.wallpaper, wallpaperFile("海"));
    ASSERT_TRUE(desktop.layout);
    EXPECT_EQ(desktop.layout->fit, platform::FitMode::Tile);
    EXPECT_TRUE(desktop.layout->lockScreen);
    EXPECT_TRUE(desktop.layout->monitorFiles.empty());

    // A picture per monitor on two monitors, in turn, the rotation paused and the current
    // picture left out of it: the dialog shows what was saved, the second monitor gets
    // the picture that follows in the collection.
    desktop.screens = {{"HDMI-1", {0, 0, 1920, 1080}}, {"DP-1", {1920, 0, 1920, 1080}}};
    view.inWallpaperSettings = [&](const WallpaperSettingsRequest& request) {
        WallpaperSettingsChoice choice = request.current;
        choice.perMonitor = true;
        choice.order = RotationOrder::InTurn;
        choice.paused = true;
        choice.leftOut = true;
        EXPECT_TRUE(request.accept(choice));
    };
    b.run(CommandId::WallpaperSettings);
    EXPECT_EQ(view.wallpaperSettingsShown.back(),
              (WallpaperSettingsChoice{.fit = platform::FitMode::Tile, .perMonitor = false, .rotate = true,
                                       .interval = "1h30m", .order = RotationOrder::Shuffle, .paused = false,
                                       .lockScreen = true, .leftOut = false}));
    EXPECT_EQ(wallpaperSettings.timer.calls.back(), "pause");
    view.whileViewerOpen = [&] { b.run(CommandId::ViewerWallpaper); };
    b.openViewer();
    const std::string second = "C:\\WINDOWS\\Web\\Wallpaper\\Velmora monitors\\2.bmp";
    EXPECT_EQ(desktop.layout->monitorFiles, std::vector<std::string>{second});
    ASSERT_TRUE(files.fileContent(second));
    const Bytes mountain = *files.fileContent(second);  // 山, after 海
    // From 夕阳, 海 is passed over now: the second monitor shows 山 again.
    b.previous();
    b.run(CommandId::SetAsWallpaper);
    EXPECT_TRUE(*files.fileContent(second) == mountain) << "the second monitor shows 海";
    view.inWallpaperSettings = nullptr;
    b.next();
    b.run(CommandId::WallpaperSettings);
    EXPECT_EQ(view.wallpaperSettingsShown.back().leftOut, true);

    // A timer that fails keeps the rotation as it was and says so; the rest is saved.
    wallpaperSettings.timer.problem = "systemctl is missing";
    view.inWallpaperSettings = [&](const WallpaperSettingsRequest& request) {
        WallpaperSettingsChoice choice = request.current;
        choice.rotate = false;
        choice.fit.reset();
        EXPECT_TRUE(request.accept(choice));
    };
    b.run(CommandId::WallpaperSettings);
    EXPECT_EQ(wallpaperSettings.timer.calls.back(), "cancel");
    EXPECT_EQ(view.boxes.back().kind, BoxKind::Error);
    EXPECT_EQ(view.boxes.back().text, "定时更换未能设置：systemctl is missing.");
    EXPECT_EQ(loadWallpaperSettings(wallpaperSettings.store).rotateMinutes, 90);
    EXPECT_FALSE(loadWallpaperSettings(wallpaperSettings.store).fit);
    EXPECT_EQ(view.unexpected, 0);
}

}  // namespace
}  // namespace velmora::test
