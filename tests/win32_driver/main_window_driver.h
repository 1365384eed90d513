#pragma once
// velmora.exe's main window seen from the driver: its labels, name list, buttons and
// popup menu items, found by the ids the window shares with it (control_ids.h) and the
// command table (browser/commands.h), so both sides agree on every id and caption.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/win32_driver/program_process.h"

namespace velmora::driver {

class MainWindowDriver {
public:
    // Waits for the main window of program.
    explicit MainWindowDriver(const ProgramProcess& program);

    HWND handle() const { return window_; }
    HWND pictureBox() const { return pictureBox_; }
    DWORD processId() const { return program_.id(); }

    std::wstring title() const;
    std::wstring currentName() const;
    std::wstring countText() const;
    std::vector<std::wstring> names() const;
    int selectedRow() const;
    // The row indicator the name list shows beside row ("\u25B6" for the current one).
    std::wstring rowMarker(int row) const;
    // The control of the command table with componentName (a button or a menu item).
    int commandId(std::string_view componentName) const;
    HWND button(std::string_view componentName) const;
    bool buttonEnabled(std::string_view componentName) const;

    // A button pressed, a menu item chosen, a row of the name list clicked.
    void press(std::string_view componentName) const;
    void choose(std::string_view componentName) const;
    void selectRow(int row) const;
    // A key pressed while the name list has the focus (posted WM_KEYDOWN and WM_KEYUP).
    void pressKeyInNameList(UINT virtualKey) const;
    // A key on the picture box, which has the focus then; a wheel turn over it (screen coordinates).
    void pressKeyOnPicture(UINT virtualKey) const;
    void turnWheelOnPicture(int delta) const;
    // A character typed into the name list (posted WM_CHAR).
    void typeInNameList(wchar_t character) const;
    // The left button pressed or released over the middle of the picture box.
    void mouseOnPicture(UINT buttonMessage) const;
    // Opens the popup menu as a right click on the picture does; returns its window.
    HWND openPopupMenu() const;
    // A key pressed while the popup menu is open: its loop reads the main window's queue.
    void pressKeyInMenu(UINT virtualKey) const;

    // Waits until the window shows these; on timeout names what it showed instead.
    void waitForName(const std::wstring& name, const std::string& what) const;
    void waitForCount(int count, const std::string& what) const;
    void waitForNames(const std::vector<std::wstring>& names, const std::string& what) const;

private:
    const ProgramProcess& program_;
    HWND window_;
    HWND nameLabel_;
    HWND countLabel_;
    HWND nameList_;
    HWND pictureBox_;
};

// A table text (UTF-8) as the window shows it.
std::wstring shown(const char* text);

}  // namespace velmora::driver
