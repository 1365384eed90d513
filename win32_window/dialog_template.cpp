#include "win32_window/dialog_template.h"

namespace velmora::win32 {

namespace {

// Offset of DLGTEMPLATE::cdit, the count of controls, in WORDs.
constexpr std::size_t kControlCountWord = 4;

}  // namespace

DialogTemplate::DialogTemplate(DWORD style, const std::wstring& caption, short width, short height, WORD pointSize) {
    addDword(style | DS_SETFONT);
    addDword(0);  // extended style
    addWord(0);   // controls, counted by add()
    for (short value : {short{0}, short{0}, width, height}) addWord(static_cast<WORD>(value));
    addWord(0);  // no menu
    addWord(0);  // the standard dialog class
    addString(caption);
    addWord(pointSize);
    addString(L"MS Shell Dlg");
}

void DialogTemplate::add(const Control& control) {
    alignToDword();
    addDword(control.style | WS_CHILD | WS_VISIBLE);
    addDword(control.exStyle);
    for (short value : {control.x, control.y, control.width, control.height}) addWord(static_cast<WORD>(value));
    addWord(static_cast<WORD>(control.id));
    addString(control.windowClass);
    addString(control.text);
    addWord(0);  // no creation data
    ++words_[kControlCountWord];
}

void DialogTemplate::addDword(DWORD dword) {
    addWord(LOWORD(dword));
    addWord(HIWORD(dword));
}

void DialogTemplate::addString(const std::wstring& text) {
    words_.insert(words_.end(), text.begin(), text.end());
    addWord(0);
}

void DialogTemplate::alignToDword() {
    if (words_.size() % 2 != 0) addWord(0);
}

}  // namespace velmora::win32
