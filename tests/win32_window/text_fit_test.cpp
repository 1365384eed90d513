// Every caption of both languages fits the control that shows it, at the design's size
// and with the system's own font metrics: the main window's buttons and labels, the
// name dialogs, the trash and the wallpaper settings dialogs.
#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "base/utf16.h"
#include "browser/commands.h"
#include "browser/window_layout.h"
#include "win32_window/dpi.h"
#include "win32_window/name_dialog.h"
#include "win32_window/trash_dialog.h"
#include "win32_window/wallpaper_settings_dialog.h"
#include "window_driver.h"

namespace velmora::win32 {
namespace {

int textWidth(HDC dc, HFONT font, std::wstring text, bool prefixes) {
    while (!text.empty() && text.back() == L' ') text.pop_back();  // a design's trailing blanks may run past its edge
    if (prefixes) std::erase(text, L'&');
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    return size.cx;
}

// "text (needed > width)" for each static or button of window whose text is wider than its place.
std::string overflowing(HWND window) {
    std::string found;
    EnumChildWindows(
        window,
        [](HWND control, LPARAM into) {
            wchar_t kind[32] = {};
            GetClassNameW(control, kind, 32);
            const std::wstring text = textOf(control);
            const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
            const bool button = _wcsicmp(kind, L"Button") == 0;
            if (text.empty() || (!button && _wcsicmp(kind, L"Static") != 0)) return TRUE;
            const DWORD type = style & BS_TYPEMASK;
            const bool box = button && (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON);
            // A check box's own square, or a push button's edges.
            const int frame = !button ? 0 : box ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 4 * GetSystemMetrics(SM_CXEDGE);
            HDC dc = GetDC(control);
            const int needed = frame + textWidth(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                                                 text, button || !(style & SS_NOPREFIX));
            ReleaseDC(control, dc);
            RECT client{};
            GetClientRect(control, &client);
            if (needed > client.right) {
                *reinterpret_cast<std::string*>(into) += fromUtf16(text) + " (" + std::to_string(needed) + " > " +
                                                         std::to_string(client.right) + ")\n";
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// What overflows in the dialog captioned caption that show() opens.
std::string overflowingIn(const char* caption, const std::function<void()>& show) {
    std::string found = "no dialog";
    driven(show, [&](DWORD ui) {
        HWND dialog = waitForDialog(ui, wide(caption));
        if (!dialog) return;
        found = overflowing(dialog);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    return found;
}

class TextFit : public testing::TestWithParam<Language> {
protected:
    void SetUp() override { useLanguage(GetParam()); }
    void TearDown() override { useLanguage(Language::Chinese); }
};

TEST_P(TextFit, EveryCaptionFitsItsControl) {
    // The main window's captions, in its font at the design's size.
    HDC screen = GetDC(nullptr);
    HFONT font = windowFont(kWindowFontHeight, 96), red = windowFont(kRedLabelFontHeight, 96);
    std::vector<std::tuple<const char*, std::string, HFONT, int>> mainWindow = {
        {component::kNameCaption, texts().nameCaption, font, 0},
        {component::kCountCaption, texts().countCaption, font, 0},
        {component::kPopupHint, texts().popupHint, font, 0},
        {component::kCountLabel, texts().countDesign, red, 0},
        {component::kCountLabel, fillIn(texts().countLabel, {"1000000"}), red, 0}};
    for (const CommandControl& control : mainWindowControls()) {
        if (control.kind == ControlKind::Button) {
            mainWindow.emplace_back(control.componentName, texts().*control.caption, font, 4 * GetSystemMetrics(SM_CXEDGE));
        }
    }
    for (const auto& [name, caption, inFont, frame] : mainWindow) {
        EXPECT_LE(frame + textWidth(screen, inFont, toUtf16(caption), false), mainWindowPlace(name).width) << caption;
    }
    DeleteObject(font);
    DeleteObject(red);
    ReleaseDC(nullptr, screen);

    VELMORA_NEEDS_DISPLAY();
    OwnerWindow owner;
    const struct {
        NameDialogKind kind;
        const char* caption;
    } nameDialogs[] = {{NameDialogKind::PictureName, texts().pictureNameCaption},
                       {NameDialogKind::Rename, texts().renameCaption},
                       {NameDialogKind::Filter, texts().filterCaption},
                       {NameDialogKind::NewFile, texts().newFileCaption}};
    for (const auto& [kind, caption] : nameDialogs) {
        const TextRequest request{kind, "", [](const std::string&) { return true; }};
        EXPECT_EQ(overflowingIn(caption, [&] { runNameDialog(owner.window, request); }), "") << caption;
    }
    const TrashRequest trash{.read = [] { return TrashContent{{}, fillIn(texts().trashSpace, {"850 KB"})}; },
                             .restore = [](std::int64_t) { return true; },
                             .deleteForever = [](std::int64_t) { return true; },
                             .empty = [] { return true; }};
    EXPECT_EQ(overflowingIn(texts().trashCaption, [&] { runTrashDialog(owner.window, trash); }), "");
    const WallpaperSettingsRequest settings{{}, [](const WallpaperSettingsChoice&) { return true; }};
    EXPECT_EQ(overflowingIn(texts().wallpaperSettingsCaption,
                            [&] { runWallpaperSettingsDialog(owner.window, settings); }),
              "");
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, TextFit, testing::Values(Language::Chinese, Language::English),
                         [](const auto& info) { return info.param == Language::English ? "English" : "Chinese"; });

}  // namespace
}  // namespace velmora::win32
