#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/utf16.h"
#include "browser/texts.h"
#include "win32_window/control_ids.h"
#include "win32_window/dpi.h"
#include "win32_window/file_dialogs.h"
#include "win32_window/picture_preview.h"
#include "win32_window/message_boxes.h"
#include "tests/support/temp_dir.h"
#include "tests/win32_driver/window_search.h"
#include "tools/synthetic_picture.h"
#include "win32_window/modal_windows.h"
#include "win32_window/name_dialog.h"
#include "window_driver.h"

namespace velmora::win32 {
namespace {

TEST(FileDialogs, FiltersAndMultipleSelectionsInTheSystemsForm) {
    using namespace std::string_literals;
    EXPECT_EQ(dialogFilter("JPEG Image File (*.jpg)|*.jpg|All (*.jpg;*.jpeg)|*.jpg;*.jpeg"),
              L"JPEG Image File (*.jpg)\0*.jpg\0All (*.jpg;*.jpeg)\0*.jpg;*.jpeg\0\0"s);
    EXPECT_EQ(dialogFilter("Velmora 文件(*.vlm)|*.vlm"), L"Velmora \u6587\u4ef6(*.vlm)\0*.vlm\0\0"s);
    EXPECT_EQ(dialogFilter("Name|*.a|Orphan"), L"Name\0*.a\0\0"s);  // a name without patterns is left out
    EXPECT_EQ(dialogFilter(""), L"\0"s);

    auto buffer = [](const std::wstring& text) {
        std::vector<wchar_t> chars(text.begin(), text.end());
        chars.resize(chars.size() + 8, L'\0');
        return chars;
    };
    EXPECT_EQ(selectedPaths(buffer(L"C:\\pictures\\a.jpg")), std::vector<std::wstring>{L"C:\\pictures\\a.jpg"});
    EXPECT_EQ(selectedPaths(buffer(L"C:\\pictures\0a.jpg\0\u732b.bmp"s)),
              (std::vector<std::wstring>{L"C:\\pictures\\a.jpg", L"C:\\pictures\\\u732b.bmp"}));
    EXPECT_EQ(selectedPaths(buffer(L"C:\\\0a.jpg\0b.jpg"s)), (std::vector<std::wstring>{L"C:\\a.jpg", L"C:\\b.jpg"}));
    EXPECT_TRUE(selectedPaths(buffer(L"")).empty());
}

// The dialog's file name box: the Edit with the common dialogs' id 0x47C (in a combo box).
HWND fileNameBox(HWND dialog) { return driver::findControl(dialog, 0x47C, L"Edit"); }


// Types names into the file dialog and confirms, or cancels it with none.
std::vector<std::string> chooseByTyping(FileDialogKind kind, FileDialogSettings& settings, const wchar_t* typed) {
    std::vector<std::string> chosen;
    driven([&] { chosen = chooseFiles(nullptr, kind, settings); },
           [&](DWORD ui) {
               HWND dialog = waitForDialog(ui, {});
               ASSERT_NE(dialog, nullptr);
               // The preview pane sits in the dialog exactly when it was asked for.
               EXPECT_EQ(driver::findControl(dialog, kPreviewPaneId) != nullptr, settings.picturePreview);
               if (typed) {
                   sendTo(fileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed));
                   PostMessageW(dialog, WM_COMMAND, IDOK, 0);
               } else {
                   PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
               }
           });
    return chosen;
}

TEST(FileDialogs, ChooseTypedNamesAndMoveTheCurrentDirectory) {
    VELMORA_NEEDS_DISPLAY();
    test::TempDir folder;
    for (const wchar_t* name : {L"a.jpg", L"\u732b.jpg"}) std::ofstream(folder.path() / name) << "x";
    // The folder is current for a while: its old self comes back before it is removed.
    struct CurrentDirectory {
        std::filesystem::path before = std::filesystem::current_path();
        ~CurrentDirectory() { std::filesystem::current_path(before); }
    } restore;
    const std::string inFolder = folder.path().string() + "\\";

    FileDialogSettings open;
    open.filter = texts().openPictureFilter;
    open.filterIndex = 4;
    open.initialDir = folder.path().string();
    open.picturePreview = true;
    EXPECT_EQ(chooseByTyping(FileDialogKind::OpenMany, open, L"\"a.jpg\" \"\u732b.jpg\""),
              (std::vector<std::string>{inFolder + "a.jpg", inFolder + "猫.jpg"}));
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::current_path(), folder.path()));
    EXPECT_EQ(open.filterIndex, 4);

    // A name without extension gets the default one; the type chosen comes back.
    FileDialogSettings save = open;
    save.filter = texts().savePictureFilter;
    save.filterIndex = 2;
    save.defaultExt = ".jpg";
    save.overwritePrompt = true;
    save.picturePreview = false;
    EXPECT_EQ(chooseByTyping(FileDialogKind::Save, save, L"\u65b0\u56fe"),
              std::vector<std::string>{inFolder + "新图.jpg"});
    EXPECT_EQ(save.filterIndex, 2);

    // Cancelled: nothing chosen, nothing changed.
    save.filterIndex = 3;
    EXPECT_TRUE(chooseByTyping(FileDialogKind::Open, save, nullptr).empty());
    EXPECT_EQ(save.filterIndex, 3);
}

TEST(PicturePreview, ShowsAPictureFittedAndNothingForAnythingElse) {
    test::TempDir folder;
    const Bytes jpeg = tools::syntheticJpeg(400, 100, 1);
    std::ofstream(folder.path() / "wide.jpg", std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()),
                                                                       static_cast<std::streamsize>(jpeg.size()));
    std::ofstream(folder.path() / "note.jpg") << "not a picture";
    const std::optional<Bitmap> wide = PicturePreview::fitted((folder.path() / "wide.jpg").wstring(), 160, 160, nullptr);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->width(), 160);
    EXPECT_EQ(wide->height(), 40);
    EXPECT_FALSE(PicturePreview::fitted((folder.path() / "note.jpg").wstring(), 160, 160, nullptr));
    EXPECT_FALSE(PicturePreview::fitted(folder.path().wstring(), 160, 160, nullptr));
}

TEST(MessageBoxes, ReadAndAnswerAsTheQtWindowsDo) {
    VELMORA_NEEDS_DISPLAY();
    const TextTable& text = texts();
    std::vector<bool> answers;
    // Confirm: "OK" by Enter (the default), "Cancel" by the close box.
    for (UINT way : {UINT{WM_KEYDOWN}, UINT{WM_CLOSE}}) {
        driven([&] { answers.push_back(confirmBox(nullptr, text.confirmDelete)); },
               [&](DWORD ui) {
                   HWND box = waitForDialog(ui, wide(text.confirmCaption));
                   ASSERT_NE(box, nullptr);
                   EXPECT_EQ(textOf(GetDlgItem(box, 0xFFFF)), wide(text.confirmDelete));
                   EXPECT_EQ(textOf(GetDlgItem(box, IDOK)), L"OK");
                   EXPECT_EQ(textOf(GetDlgItem(box, IDCANCEL)), L"Cancel");
                   if (way == WM_KEYDOWN) {
                       PostMessageW(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_RETURN, 0);
                   } else {
                       PostMessageW(box, WM_CLOSE, 0, 0);
                   }
               });
    }
    EXPECT_EQ(answers, (std::vector<bool>{true, false}));

    // A summary with details: the application title, "OK", and the long form on request.
    bool detailsShown = false;
    driven([&] { messageBox(nullptr, MessageKind::NotAdded, "3 files", "a.jpg: bad\nb.jpg: bad\n"); },
           [&](DWORD ui) {
               HWND box = waitForDialog(ui, wide(text.applicationTitle));
               ASSERT_NE(box, nullptr);
               EXPECT_EQ(textOf(GetDlgItem(box, 0xFFFF)), L"3 files");
               EXPECT_EQ(textOf(GetDlgItem(box, IDOK)), L"OK");
               EXPECT_EQ(textOf(GetDlgItem(box, IDHELP)), L"Show Details...");
               PostMessageW(GetDlgItem(box, IDHELP), BM_CLICK, 0, 0);
               if (HWND details = waitForDialog(ui, wide(text.applicationTitle), box)) {
                   EXPECT_EQ(textOf(GetDlgItem(details, kDetailsTextId)), L"a.jpg: bad\r\nb.jpg: bad\r\n");
                   detailsShown = true;
                   PostMessageW(GetDlgItem(details, IDOK), BM_CLICK, 0, 0);
                   while (IsWindow(details)) Sleep(10);
               }
               PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
           });
    EXPECT_TRUE(detailsShown);
}

TEST(NameDialog, EnterAndEscDoNothingAndOnlyAnAcceptedTextCloses) {
    VELMORA_NEEDS_DISPLAY();
    const TextTable& text = texts();
    std::vector<std::string> offered;
    std::atomic<int> calls = 0;
    OwnerWindow owner;
    std::vector<bool> ownedAndModal;
    const TextRequest request{NameDialogKind::NewFile, text.newFileText, [&](const std::string& typed) {
                                  // A box the command shows now belongs to the dialog, over a disabled owner.
                                  const HWND boxOwner = newestModal(owner.window);
                                  ownedAndModal.push_back(boxOwner != owner.window &&
                                                          GetWindow(boxOwner, GW_OWNER) == owner.window &&
                                                          !IsWindowEnabled(owner.window));
                                  offered.push_back(typed);
                                  ++calls;
                                  return typed == "相册";
                              }};
    driven([&] { runNameDialog(owner.window, request); },
           [&](DWORD ui) {
               HWND dialog = waitForDialog(ui, wide(text.newFileCaption));
               ASSERT_NE(dialog, nullptr);
               HWND edit = GetDlgItem(dialog, kNameDialogEditId);
               EXPECT_EQ(textOf(GetDlgItem(dialog, kNameDialogLabelId)), wide(text.newFileLabel));
               EXPECT_EQ(textOf(edit), wide(text.newFileText));
               EXPECT_EQ(textOf(GetDlgItem(dialog, kNameDialogOkId)), L"确定");
               EXPECT_EQ(textOf(GetDlgItem(dialog, kNameDialogCancelId)), L"取消");
               // The edit box has the focus with all its text selected.
               GUITHREADINFO info{};
               info.cbSize = sizeof info;
               GetGUIThreadInfo(ui, &info);
               EXPECT_EQ(info.hwndFocus, edit);
               DWORD start = 1, end = 0;
               sendTo(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
               EXPECT_EQ(start, 0u);
               EXPECT_EQ(end, wide(text.newFileText).size());
               // Placed and sized as designed, scaled by the screen's DPI.
               RECT frame{};
               GetWindowRect(dialog, &frame);
               EXPECT_EQ(frame.left, scaled(339, dpiOf(nullptr)));
               EXPECT_EQ(frame.top, scaled(359, dpiOf(nullptr)));
               EXPECT_EQ(frame.right - frame.left, scaled(345, dpiOf(nullptr)));
               EXPECT_EQ(frame.bottom - frame.top, scaled(218, dpiOf(nullptr)));
               RECT label{};
               GetWindowRect(GetDlgItem(dialog, kNameDialogLabelId), &label);
               EXPECT_EQ(label.right - label.left, scaled(329, dpiOf(nullptr)));

               // Enter and Esc, then "确定" with a text the request refuses: still open.
               for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
                   PostMessageW(edit, WM_KEYDOWN, key, 0);
                   PostMessageW(edit, WM_CHAR, key == VK_RETURN ? L'\r' : 0x1B, 0);
                   PostMessageW(GetDlgItem(dialog, kNameDialogOkId), WM_KEYDOWN, key, 0);
               }
               PostMessageW(GetDlgItem(dialog, kNameDialogOkId), BM_CLICK, 0, 0);
               for (int i = 0; i < 500 && calls == 0; ++i) Sleep(10);
               EXPECT_TRUE(IsWindow(dialog));
               // Then one it takes.
               sendTo(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"相册"));
               PostMessageW(GetDlgItem(dialog, kNameDialogOkId), BM_CLICK, 0, 0);
           });
    EXPECT_EQ(offered, (std::vector<std::string>{text.newFileText, "相册"}));
    EXPECT_EQ(ownedAndModal, (std::vector<bool>{true, true}));
    EXPECT_EQ(newestModal(nullptr), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner.window));

    // The filter dialog: its client area as designed, no sizing border; its close box
    // and its "取消" cancel without asking the request.
    offered.clear();
    for (bool closeBox : {true, false}) {
        driven([&] { runNameDialog(nullptr, TextRequest{NameDialogKind::Filter, text.filterText, request.accept}); },
               [&](DWORD ui) {
                   HWND dialog = waitForDialog(ui, wide(text.filterCaption));
                   ASSERT_NE(dialog, nullptr);
                   RECT client{};
                   GetClientRect(dialog, &client);
                   EXPECT_EQ(client.right, scaled(487, dpiOf(nullptr)));
                   EXPECT_EQ(client.bottom, scaled(186, dpiOf(nullptr)));
                   EXPECT_EQ(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_THICKFRAME, 0);
                   if (closeBox) {
                       PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                   } else {
                       PostMessageW(GetDlgItem(dialog, kNameDialogCancelId), BM_CLICK, 0, 0);
                   }
               });
    }
    EXPECT_TRUE(offered.empty());
}

}  // namespace
}  // namespace velmora::win32
