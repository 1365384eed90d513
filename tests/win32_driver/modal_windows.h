#pragma once
// Answering the program's modal windows (all of class #32770) as a user would: message
// boxes, the name dialogs and the common file dialogs. Each waits for its window,
// reads what it shows, answers it and waits for it to close.

#include <windows.h>

#include <string>

namespace velmora::driver {

struct MessageBoxSeen {
    std::wstring caption;
    std::wstring text;
    bool hasCancel = false;
    HWND owner = nullptr;
    bool ownerTakesInput = false;  // while the box was up
    bool ownerShown = false;
};

// A message box of process processId; answer: IDOK or IDCANCEL.
MessageBoxSeen answerMessageBox(DWORD processId, int answer, const std::string& what);

struct NameDialogSeen {
    std::wstring caption;
    std::wstring label;
    std::wstring initialText;  // what the edit box held when it opened
    HWND window = nullptr;
};

// A name dialog: types text into its edit box and confirms with OK; unless closes is
// false, waits until it has closed.
NameDialogSeen answerNameDialog(DWORD processId, const std::wstring& text, const std::string& what,
                                bool closes = true);

// An open or save dialog: types path into its file name box and confirms.
void answerFileDialog(DWORD processId, const std::wstring& path, const std::string& what);

}  // namespace velmora::driver
