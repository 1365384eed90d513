#include "tests/win32_driver/modal_windows.h"

#include "tests/win32_driver/step.h"
#include "tests/win32_driver/window_messages.h"
#include "tests/win32_driver/window_search.h"
#include "win32_window/control_ids.h"

namespace velmora::driver {

namespace {

constexpr const wchar_t* kDialogClass = L"#32770";
// The text of a message box, and the file name box of the common file dialogs.
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kFileNameBoxId = 0x47c;

bool isMessageBox(HWND window) {
    return findControl(window, kMessageBoxTextId, L"Static") && findControl(window, IDOK, L"Button") &&
           !findControl(window, kFileNameBoxId) && !findControl(window, win32::kNameDialogEditId);
}

bool isNameDialog(HWND window) { return findControl(window, win32::kNameDialogEditId) != nullptr; }

bool isFileDialog(HWND window) { return findControl(window, kFileNameBoxId) != nullptr; }

// Buttons by id: other controls of a file dialog have the id of OK as well.
HWND button(HWND dialog, int id, const std::string& what) {
    HWND found = findControl(dialog, id, L"Button");
    require(found != nullptr, what + ": no button " + std::to_string(id));
    return found;
}

// The name box is an Edit with the id itself, or the Edit inside the ComboBoxEx32 of that id.
HWND fileNameEdit(HWND dialog) {
    HWND box = findControl(dialog, kFileNameBoxId);
    if (!box || classOf(box) == L"Edit") return box;
    HWND edit = FindWindowExW(box, nullptr, L"ComboBox", nullptr);
    edit = FindWindowExW(edit ? edit : box, nullptr, L"Edit", nullptr);
    return edit;
}

}  // namespace

MessageBoxSeen answerMessageBox(DWORD processId, int answer, const std::string& what) {
    HWND box = waitForWindow({processId, kDialogClass, isMessageBox}, what);
    const HWND owner = ownerOf(box);
    MessageBoxSeen seen{textOf(box), textOf(control(box, kMessageBoxTextId, "message box text")),
                        findControl(box, IDCANCEL, L"Button") != nullptr, owner,
                        owner != nullptr && IsWindowEnabled(owner) != FALSE,
                        owner != nullptr && IsWindowVisible(owner) != FALSE};
    pressButton(button(box, answer, what));
    waitUntilGone(box, what);
    return seen;
}

NameDialogSeen answerNameDialog(DWORD processId, const std::wstring& text, const std::string& what, bool closes) {
    HWND dialog = waitForWindow({processId, kDialogClass, isNameDialog}, what);
    HWND edit = control(dialog, win32::kNameDialogEditId, what + ": edit box");
    NameDialogSeen seen{textOf(dialog), textOf(control(dialog, win32::kNameDialogLabelId, what + ": label")),
                        textOf(edit), dialog};
    setTextOf(edit, text);
    pressButton(button(dialog, win32::kNameDialogOkId, what));
    if (closes) waitUntilGone(dialog, what);
    return seen;
}

void answerFileDialog(DWORD processId, const std::wstring& path, const std::string& what) {
    HWND dialog = waitForWindow({processId, kDialogClass, isFileDialog}, what);
    HWND edit = fileNameEdit(dialog);
    require(edit != nullptr, what + ": no file name box");
    setTextOf(edit, path);
    pressButton(button(dialog, IDOK, what));
    waitUntilGone(dialog, what);
}

}  // namespace velmora::driver
