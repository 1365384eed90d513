// The thumbnail window in Win32 over the core's form: the grid shows the pictures, the
// list's focus moves the main window's cursor, and a move there selects the picture here.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <filesystem>

#include <gtest/gtest.h>

#include "browser/collection_browser.h"
#include "browser/thumbnail_form.h"
#include "platform/platform.h"
#include "store/database/collection_file.h"
#include "store/picture/jpeg_encoder.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/fake_files.h"
#include "tests/support/fake_registry.h"
#include "tests/support/memory_clipboard.h"
#include "tests/support/recording_view.h"
#include "tests/support/temp_dir.h"
#include "win32_window/thumbnail_window.h"
#include "window_driver.h"

namespace velmora::win32 {
namespace {

Bytes solidJpeg(COLORREF colour) {
    Bitmap bitmap(200, 150, Bitmap::Format::Bgr24);
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            std::uint8_t* pixel = bitmap.scanLine(y) + 3 * x;
            pixel[0] = GetBValue(colour), pixel[1] = GetGValue(colour), pixel[2] = GetRValue(colour);
        }
    }
    return encodeJpeg(bitmap, JpegDefaults{});
}

TEST(ThumbnailWindow, TheGridShowsThePicturesAndFollowsTheMainWindowBothWays) {
    VELMORA_NEEDS_DISPLAY();
    test::TempDir dir;
    const std::filesystem::path before = std::filesystem::current_path();
    const COLORREF colours[] = {RGB(220, 30, 30), RGB(30, 200, 40), RGB(30, 40, 210)};
    createCollection(dir.file("pictures.vlm"),
                     {{"红", solidJpeg(colours[0])}, {"绿", solidJpeg(colours[1])}, {"蓝", solidJpeg(colours[2])}});
    platform::CallLog calls;
    platform::FakeRegistry registry{calls};
    platform::FakeDesktop desktop{calls};
    platform::FakeFiles files{calls};
    platform::Platform platform{registry, files, desktop};
    MemoryClipboard clipboard;
    test::RecordingView view;
    BrowserServices services;
    services.clipboard = &clipboard;
    services.platform = &platform;
    {
        CollectionBrowser browser(services, view);
        browser.start(dir.file("pictures.vlm"));
        OwnerWindow owner;
        ThumbnailWindow window(GetModuleHandleW(nullptr), browser.thumbnails(), owner.window);
        window.show();
        ThumbnailForm& form = browser.thumbnails();
        auto pump = [&] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            view.runPosted();
        };
        for (int i = 0; i < 500 && !(form.cell(0).picture && form.cell(1).picture && form.cell(2).picture); ++i) {
            pump();
            Sleep(10);
        }
        RedrawWindow(window.grid(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        pump();
        HDC dc = GetDC(window.grid());
        for (int row = 0; row < 3; ++row) {
            RECT icon{};
            icon.left = LVIR_ICON;
            ASSERT_TRUE(SendMessageW(window.grid(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&icon)));
            const COLORREF shown = GetPixel(dc, (icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
            EXPECT_NEAR(GetRValue(shown), GetRValue(colours[row]), 12) << row;
            EXPECT_NEAR(GetGValue(shown), GetGValue(colours[row]), 12) << row;
            EXPECT_NEAR(GetBValue(shown), GetBValue(colours[row]), 12) << row;
        }
        ReleaseDC(window.grid(), dc);

        ListView_SetItemState(window.grid(), 2, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
        pump();
        EXPECT_EQ(view.name, "蓝");
        browser.previous();  // the main window's move
        pump();
        EXPECT_EQ(form.selectedRows(), std::vector<int>{1});
        EXPECT_EQ(ListView_GetNextItem(window.grid(), -1, LVNI_SELECTED), 1);
        EXPECT_EQ(ListView_GetNextItem(window.grid(), 1, LVNI_SELECTED), -1);

        // Every key moves the main window, the list shows the form's selection, Enter views.
        struct Press {
            WPARAM key;
            BYTE modifier;
            const char* name;
            std::vector<int> selected;
        };
        const Press presses[] = {{VK_END, 0, "蓝", {2}},        {VK_PRIOR, 0, "红", {0}},
                                 {VK_RIGHT, VK_SHIFT, "绿", {0, 1}}, {VK_NEXT, 0, "蓝", {2}},
                                 {VK_LEFT, 0, "绿", {1}},       {'A', VK_CONTROL, "绿", {0, 1, 2}}};
        for (const Press& press : presses) {
            BYTE keys[256] = {};
            keys[press.modifier] = 0x80;
            SetKeyboardState(keys);
            SendMessageW(window.grid(), WM_KEYDOWN, press.key, 0);
            SetKeyboardState(std::array<BYTE, 256>{}.data());
            pump();
            EXPECT_EQ(view.name, press.name) << press.key;
            EXPECT_EQ(form.selectedRows(), press.selected) << press.key;
            EXPECT_EQ(ListView_GetSelectedCount(window.grid()), press.selected.size()) << press.key;
        }
        SendMessageW(window.grid(), WM_KEYDOWN, VK_RETURN, 0);
        pump();
        ASSERT_EQ(view.viewers.size(), 1u);
    }
    std::filesystem::current_path(before);
}

}  // namespace
}  // namespace velmora::win32
