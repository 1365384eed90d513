#pragma once
// An in-memory dialog template for DialogBoxIndirectParamW: the dialog's style and
// caption, its font, and its controls by window class. Positions are dialog units;
// the dialogs here lay their controls out in pixels when they open, so most pass 0.
#include <windows.h>

#include <string>
#include <vector>

namespace velmora::win32 {

class DialogTemplate {
public:
    // A dialog with DS_SETFONT added to style: the system's dialog font at pointSize.
    DialogTemplate(DWORD style, const std::wstring& caption, short width = 0, short height = 0, WORD pointSize = 9);

    struct Control {
        const wchar_t* windowClass;  // "BUTTON", "EDIT", "STATIC", WC_LISTVIEWW...
        std::wstring text;
        int id;  // a WORD in the template
        DWORD style;  // WS_CHILD | WS_VISIBLE are added
        DWORD exStyle = 0;
        short x = 0, y = 0, width = 0, height = 0;
    };
    void add(const Control& control);

    // The template, valid until the next add(); DWORD-aligned as the system needs it.
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }
    std::size_t sizeInBytes() const { return words_.size() * sizeof(WORD); }

private:
    void addWord(WORD word) { words_.push_back(word); }
    void addDword(DWORD dword);
    void addString(const std::wstring& text);
    void alignToDword();

    std::vector<WORD> words_;  // vector storage is suitably aligned for the header
};

}  // namespace velmora::win32
