#pragma once
// A list view of another process, read and selected through messages whose item
// structures live in that process's memory.

#include <windows.h>

#include <string>
#include <vector>

namespace velmora::driver {

class RemoteListView {
public:
    RemoteListView(HWND list, HANDLE process) : list_(list), process_(process) {}

    int count() const;
    // The text of row in column (0: the item's own, 1...: its subitems).
    std::wstring itemText(int row, int column = 0) const;
    std::vector<std::wstring> items() const;
    // The selected row, or -1.
    int selectedRow() const;
    // Selects and focuses row as a click does; the list view tells its parent.
    void select(int row) const;

private:
    HWND list_;
    HANDLE process_;
};

}  // namespace velmora::driver
