#include "tests/win32_driver/remote_list_view.h"

#include <commctrl.h>

#include "tests/win32_driver/remote_memory.h"
#include "tests/win32_driver/step.h"
#include "tests/win32_driver/window_messages.h"

namespace velmora::driver {

namespace {

constexpr int kTextCapacity = 1024;  // characters, more than any name in the scenario

}  // namespace

int RemoteListView::count() const { return static_cast<int>(sendTo(list_, LVM_GETITEMCOUNT)); }

std::wstring RemoteListView::itemText(int row, int column) const {
    // The item, then the text buffer it points to, in one block of the other process.
    RemoteMemory memory(process_, sizeof(LVITEMW) + kTextCapacity * sizeof(wchar_t));
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kTextCapacity;
    item.pszText = reinterpret_cast<LPWSTR>(memory.address(sizeof(LVITEMW)));
    memory.write(&item, sizeof item);
    const auto length = static_cast<std::size_t>(
        sendTo(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), memory.address()));
    require(length < kTextCapacity, "row " + std::to_string(row) + " has an overlong text");
    std::wstring text(length, L'\0');
    memory.read(text.data(), length * sizeof(wchar_t), sizeof(LVITEMW));
    return text;
}

std::vector<std::wstring> RemoteListView::items() const {
    std::vector<std::wstring> texts;
    const int rows = count();
    for (int row = 0; row < rows; ++row) texts.push_back(itemText(row));
    return texts;
}

int RemoteListView::selectedRow() const {
    return static_cast<int>(sendTo(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void RemoteListView::select(int row) const {
    RemoteMemory memory(process_, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    memory.write(&item, sizeof item);
    require(sendTo(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), memory.address()) != FALSE,
            "the name list refused to select row " + std::to_string(row));
}

}  // namespace velmora::driver
