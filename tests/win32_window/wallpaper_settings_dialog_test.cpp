// The Win32 wallpaper settings dialog, driven as a user drives it: it shows the
// request's choice and hands back what was edited; a refused choice keeps it open.
#include <windows.h>

#include <atomic>
#include <vector>

#include <gtest/gtest.h>

#include "browser/texts.h"
#include "win32_window/control_ids.h"
#include "win32_window/wallpaper_settings_dialog.h"
#include "window_driver.h"

namespace velmora::win32 {
namespace {

// Waits up to five seconds for done().
template <typename Condition>
bool eventually(Condition done) {
    for (int i = 0; i < 500 && !done(); ++i) Sleep(10);
    return done();
}

TEST(WallpaperSettingsDialog, ShowsTheSavedChoiceAndHandsBackEdits) {
    VELMORA_NEEDS_DISPLAY();
    WallpaperSettingsChoice saved;
    saved.fit = platform::FitMode::Center;
    saved.rotate = true;
    saved.interval = "2h";
    saved.order = RotationOrder::Shuffle;
    saved.leftOut = false;
    std::vector<WallpaperSettingsChoice> offered;
    std::atomic<int> calls = 0;
    const WallpaperSettingsRequest request{saved, [&](const WallpaperSettingsChoice& choice) {
                                               offered.push_back(choice);
                                               ++calls;
                                               return choice.interval == "45m";
                                           }};
    driven([&] { runWallpaperSettingsDialog(nullptr, request); },
           [&](DWORD ui) {
               HWND dialog = waitForDialog(ui, wide(texts().wallpaperSettingsCaption));
               ASSERT_NE(dialog, nullptr);
               auto item = [dialog](int id) { return GetDlgItem(dialog, id); };
               EXPECT_EQ(sendTo(item(kWallpaperFitModeId), CB_GETCOUNT), 7);
               EXPECT_EQ(sendTo(item(kWallpaperFitModeId), CB_GETCURSEL), 4);  // 居中
               EXPECT_EQ(sendTo(item(kWallpaperOrderId), CB_GETCURSEL), 1);
               EXPECT_EQ(sendTo(item(kWallpaperRotateId), BM_GETCHECK), BST_CHECKED);
               EXPECT_EQ(sendTo(item(kWallpaperPerMonitorId), BM_GETCHECK), BST_UNCHECKED);
               EXPECT_EQ(textOf(item(kWallpaperIntervalId)), L"2h");
               EXPECT_TRUE(IsWindowEnabled(item(kWallpaperLeftOutId)));
               // Rotation off takes the interval and the pause with it.
               PostMessageW(item(kWallpaperRotateId), BM_CLICK, 0, 0);
               EXPECT_TRUE(eventually([&] { return !IsWindowEnabled(item(kWallpaperIntervalId)); }));
               EXPECT_FALSE(IsWindowEnabled(item(kWallpaperPausedId)));
               PostMessageW(item(kWallpaperRotateId), BM_CLICK, 0, 0);
               EXPECT_TRUE(eventually([&] { return IsWindowEnabled(item(kWallpaperIntervalId)); }));

               // "确定" with an interval the request refuses: still open.
               sendTo(item(kWallpaperFitModeId), CB_SETCURSEL, 6);  // 跨屏
               sendTo(item(kWallpaperIntervalId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"soon"));
               PostMessageW(item(IDOK), BM_CLICK, 0, 0);
               EXPECT_TRUE(eventually([&] { return calls == 1; }));
               EXPECT_TRUE(IsWindow(dialog));
               sendTo(item(kWallpaperIntervalId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"45m"));
               sendTo(item(kWallpaperLockScreenId), BM_SETCHECK, BST_CHECKED);
               PostMessageW(item(IDOK), BM_CLICK, 0, 0);
           });
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0].interval, "soon");
    WallpaperSettingsChoice edited = saved;
    edited.fit = platform::FitMode::Span;
    edited.interval = "45m";
    edited.lockScreen = true;
    EXPECT_EQ(offered[1], edited);
}

}  // namespace
}  // namespace velmora::win32
