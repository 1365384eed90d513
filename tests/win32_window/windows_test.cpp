#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "browser/texts.h"
#include "win32_window/control_ids.h"
#include "win32_window/dpi.h"
#include "win32_window/progress_window.h"
#include "win32_window/trash_dialog.h"
#include "win32_window/viewer_window.h"
#include "window_driver.h"

namespace velmora::win32 {
namespace {

TEST(ProgressWindow, ShowsTheStepsKeepsItsOwnerWaitingAndCancels) {
    VELMORA_NEEDS_DISPLAY();
    OwnerWindow owner;
    for (bool closeBox : {false, true}) {
        std::unique_ptr<Progress> progress = startProgressWindow(owner.window, 5);
        HWND window = FindWindowW(kProgressWindowClass, nullptr);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(textOf(window), textOf(owner.window));
        EXPECT_EQ(textOf(GetDlgItem(window, kProgressCancelId)), wide(texts().cancelButton));
        EXPECT_FALSE(IsWindowEnabled(owner.window));
        EXPECT_TRUE(progress->advance(2, "正在添加图片 3 / 5"));
        EXPECT_EQ(textOf(GetDlgItem(window, kProgressLabelId)), L"正在添加图片 3 / 5");
        EXPECT_EQ(SendMessageW(GetDlgItem(window, kProgressBarId), PBM_GETPOS, 0, 0), 2);
        // Pressed between two steps: the next step says so.
        if (closeBox) {
            PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
            PostMessageW(GetDlgItem(window, kProgressCancelId), BM_CLICK, 0, 0);
        }
        EXPECT_FALSE(progress->advance(3, "正在添加图片 4 / 5"));
        progress.reset();
        EXPECT_FALSE(IsWindow(window));
        EXPECT_TRUE(IsWindowEnabled(owner.window));
    }
}

std::wstring cellText(HWND list, int row, int column) {
    wchar_t text[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    sendTo(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

TEST(TrashDialog, ListsActsOnTheSelectionAndListsAgain) {
    VELMORA_NEEDS_DISPLAY();
    std::vector<TrashedPicture> trash = {
        {.id = 30, .name = "小猫", .deletedAt = 1700000300, .size = 2048},
        {.id = 20, .name = "图片2", .deletedAt = 1700000200, .size = 3 * 1024 * 1024},
        {.id = 10, .name = "图片1", .deletedAt = 1700000100, .size = 100},
    };
    std::vector<std::string> calls;
    auto remove = [&](std::int64_t id) {
        std::erase_if(trash, [id](const TrashedPicture& p) { return p.id == id; });
        return true;
    };
    const TrashRequest request{
        .read = [&] { return TrashContent{trash, "回收站占用 " + std::to_string(trash.size())}; },
        .restore = [&](std::int64_t id) { calls.push_back("restore " + std::to_string(id)); return remove(id); },
        .deleteForever = [&](std::int64_t id) { calls.push_back("delete " + std::to_string(id)); return remove(id); },
        .empty = [&] { calls.push_back("empty"); trash.clear(); return true; },
    };
    OwnerWindow owner;
    driven([&] { runTrashDialog(owner.window, request); },
           [&](DWORD ui) {
               HWND dialog = waitForDialog(ui, wide(texts().trashCaption));
               ASSERT_NE(dialog, nullptr);
               HWND list = GetDlgItem(dialog, kTrashListId);
               auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; };
               ASSERT_EQ(sendTo(list, LVM_GETITEMCOUNT), 3);
               EXPECT_EQ(cellText(list, 0, 0), L"小猫");
               EXPECT_EQ(cellText(list, 1, 2), L"3.0 MB");
               EXPECT_EQ(textOf(GetDlgItem(dialog, kTrashSpaceId)), L"回收站占用 3");
               for (int id : {kTrashRestoreId, kTrashDeleteId, kTrashEmptyId}) EXPECT_TRUE(enabled(id));

               // The newest is selected at first; then the one the user picks.
               sendTo(GetDlgItem(dialog, kTrashRestoreId), BM_CLICK);
               LVITEMW select{};
               select.stateMask = LVIS_SELECTED;
               select.state = LVIS_SELECTED;
               sendTo(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
               sendTo(GetDlgItem(dialog, kTrashDeleteId), BM_CLICK);
               EXPECT_EQ(sendTo(list, LVM_GETITEMCOUNT), 1);
               EXPECT_EQ(cellText(list, 0, 0), L"图片2");
               // Nothing selected: restore and delete wait for a choice.
               select.state = 0;
               sendTo(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&select));
               EXPECT_FALSE(enabled(kTrashRestoreId));
               EXPECT_FALSE(enabled(kTrashDeleteId));
               sendTo(GetDlgItem(dialog, kTrashEmptyId), BM_CLICK);
               EXPECT_EQ(sendTo(list, LVM_GETITEMCOUNT), 0);
               EXPECT_FALSE(enabled(kTrashEmptyId));
               EXPECT_EQ(textOf(GetDlgItem(dialog, kTrashSpaceId)), L"回收站占用 0");
               PostMessageW(GetDlgItem(dialog, kTrashCloseId), BM_CLICK, 0, 0);
           });
    EXPECT_EQ(calls, (std::vector<std::string>{"restore 30", "delete 10", "empty"}));
}

TEST(ViewerWindow, ShowsThePictureAtItsOwnSizeAndClosesByClickOrMenu) {
    VELMORA_NEEDS_DISPLAY();
    // Red on top, blue at the bottom: drawn the right way up.
    Bitmap bitmap(40, 30, Bitmap::Format::Bgr24);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            std::uint8_t* pixel = bitmap.scanLine(y) + 3 * x;
            pixel[y < 15 ? 2 : 0] = 255;
        }
    ViewerContent content;
    content.caption = "查看原始图片    < 图片3 >";
    content.hint = "图片大小：40 X 30     单击关闭";
    content.picture.assignBitmap(bitmap);

    OwnerWindow owner;
    struct RecordingCommands : CommandRunner {
        std::vector<CommandId> ran;
        ViewerWindow* viewer = nullptr;
        ViewerContent next;
        void run(CommandId command) override {
            ran.push_back(command);
            if (command == CommandId::CloseViewer) viewer->close();
            if (command == CommandId::ViewerNext) viewer->showContent(next);
        }
    } commands;
    commands.next.caption = "查看原始图片    < 图片4 >";
    commands.next.picture.assignBitmap(Bitmap(60, 20, Bitmap::Format::Bgr24));
    std::vector<CommandId>& ran = commands.ran;
    ViewerWindow viewer(owner.window, commands);
    commands.viewer = &viewer;
    // Its menu: the wallpaper item runs and leaves it open; the close item closes it.
    driven([&] { viewer.show(content); },
           [&](DWORD ui) {
               HWND window = waitForWindow(ui, kViewerWindowClass, L"查看原始图片    < 图片3 >");
               ASSERT_NE(window, nullptr);
               RECT client{};
               GetClientRect(window, &client);
               EXPECT_EQ(client.right, 40);  // one picture pixel per screen pixel, at any DPI
               EXPECT_EQ(client.bottom, 30);
               RECT frame{};
               GetWindowRect(window, &frame);
               EXPECT_EQ(frame.left, scaled(18, dpiOf(nullptr)));
               EXPECT_EQ(frame.top, scaled(17, dpiOf(nullptr)));
               EXPECT_FALSE(IsWindowEnabled(owner.window));
               sendTo(window, WM_PAINT);
               HDC dc = GetDC(window);
               EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 0, 0));
               EXPECT_EQ(GetPixel(dc, 5, 25), RGB(0, 0, 255));
               ReleaseDC(window, dc);
               sendTo(window, WM_COMMAND, kFirstViewerCommandId);
               EXPECT_TRUE(IsWindowVisible(window));
               // Right shows the next picture in the same window, fitted to it; Left asks for the one before.
               sendTo(window, WM_KEYDOWN, VK_RIGHT);
               EXPECT_EQ(textOf(window), L"查看原始图片    < 图片4 >");
               GetClientRect(window, &client);
               EXPECT_EQ(client.right, 60);
               EXPECT_EQ(client.bottom, 20);
               sendTo(window, WM_KEYDOWN, VK_LEFT);
               PostMessageW(window, WM_COMMAND, kFirstViewerCommandId + 1, 0);
           });
    EXPECT_EQ(ran, (std::vector<CommandId>{CommandId::ViewerWallpaper, CommandId::ViewerNext, CommandId::ViewerPrevious,
                                           CommandId::CloseViewer}));
    EXPECT_TRUE(IsWindowEnabled(owner.window));

    // A click on the picture closes it; a release alone (the press began elsewhere) does not.
    driven([&] { viewer.show(content); },
           [&](DWORD ui) {
               HWND window = waitForWindow(ui, kViewerWindowClass, {});
               ASSERT_NE(window, nullptr);
               sendTo(window, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
               EXPECT_TRUE(IsWindowVisible(window));
               PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
               PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
           });
    EXPECT_EQ(ran.size(), 4u);
}

TEST(ViewerWindow, APictureLargerThanTheWorkAreaScrollsWithinIt) {
    VELMORA_NEEDS_DISPLAY();
    // Columns alternate black and white (1:1 shows them), the far corner is green.
    constexpr int kWidth = 3000, kHeight = 2200;
    Bitmap bitmap(kWidth, kHeight, Bitmap::Format::Bgr24);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* pixel = bitmap.scanLine(y) + 3 * x;
            const bool corner = x >= kWidth - 10 && y >= kHeight - 10;
            pixel[0] = pixel[2] = corner || x % 2 ? 0 : 255;
            pixel[1] = corner || x % 2 == 0 ? 255 : 0;
        }
    ViewerContent content;
    content.caption = "查看原始图片    < 大 >";
    content.picture.assignBitmap(bitmap);
    OwnerWindow owner;
    struct NoCommands : CommandRunner {
        void run(CommandId) override {}
    } noCommands;
    ViewerWindow viewer(owner.window, noCommands);
    driven([&] { viewer.show(content); },
           [&](DWORD ui) {
               HWND window = waitForWindow(ui, kViewerWindowClass, L"查看原始图片    < 大 >");
               ASSERT_NE(window, nullptr);
               MONITORINFO monitor{sizeof monitor};
               GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
               RECT frame{}, client{}, inWork{};
               GetWindowRect(window, &frame);
               GetClientRect(window, &client);
               IntersectRect(&inWork, &frame, &monitor.rcWork);
               EXPECT_TRUE(EqualRect(&inWork, &frame)) << frame.right << " x " << frame.bottom;
               auto pixelAt = [&](int x, int y) {
                   sendTo(window, WM_PAINT);
                   HDC dc = GetDC(window);
                   const COLORREF colour = GetPixel(dc, x, y);
                   ReleaseDC(window, dc);
                   return colour;
               };
               EXPECT_EQ(pixelAt(4, 4), RGB(255, 255, 255));
               EXPECT_EQ(pixelAt(5, 4), RGB(0, 0, 0));
               // A drag moves the picture and does not close the viewer.
               // The pointer goes along: the system reports its moves to the captured window too.
               auto pointerTo = [&](UINT message, WPARAM keys, int x, int y) {
                   POINT at{x, y};
                   ClientToScreen(window, &at);
                   POINT now{};
                   for (int wait = 0; wait < 100 && (now.x != at.x || now.y != at.y); ++wait) {
                       SetCursorPos(at.x, at.y);
                       Sleep(10);
                       GetCursorPos(&now);
                   }
                   Sleep(50);  // its own move has reached the window
                   sendTo(window, message, keys, MAKELPARAM(x, y));
               };
               pointerTo(WM_LBUTTONDOWN, MK_LBUTTON, 100, 100);
               pointerTo(WM_MOUSEMOVE, MK_LBUTTON, 60, 40);
               pointerTo(WM_LBUTTONUP, 0, 60, 40);
               EXPECT_EQ(std::vector<int>({GetScrollPos(window, SB_HORZ), GetScrollPos(window, SB_VERT)}),
                         std::vector<int>({40, 60}));
               EXPECT_TRUE(IsWindowVisible(window));
               sendTo(window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA));
               sendTo(window, WM_VSCROLL, SB_LINEDOWN);
               sendTo(window, WM_HSCROLL, SB_LINEDOWN);
               const int line = viewerStep(ViewerStep::Line, 0, pixelRatioOf(dpiOf(window)));
               EXPECT_EQ(std::vector<int>({GetScrollPos(window, SB_HORZ), GetScrollPos(window, SB_VERT)}),
                         std::vector<int>({40 + line, 60 + 4 * line}));
               // The far corner comes into the window's far corner, and no further.
               sendTo(window, WM_KEYDOWN, VK_END);
               sendTo(window, WM_VSCROLL, SB_LINEDOWN);
               EXPECT_EQ(pixelAt(client.right - 1, client.bottom - 1), RGB(0, 255, 0));
               EXPECT_EQ(GetScrollPos(window, SB_HORZ), kWidth - client.right);
               PostMessageW(window, WM_CLOSE, 0, 0);
           });
}

}  // namespace
}  // namespace velmora::win32
