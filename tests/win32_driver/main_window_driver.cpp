#include "tests/win32_driver/main_window_driver.h"

#include "base/utf16.h"
#include "browser/commands.h"
#include "browser/texts.h"
#include "tests/win32_driver/remote_list_view.h"
#include "tests/win32_driver/step.h"
#include "tests/win32_driver/window_messages.h"
#include "tests/win32_driver/window_search.h"
#include "win32_window/control_ids.h"

namespace velmora::driver {

namespace {

std::string joined(const std::vector<std::wstring>& names) {
    std::string text;
    for (const std::wstring& name : names) text += (text.empty() ? "" : ", ") + narrow(name);
    return "[" + text + "]";
}

// Waits for read() to give expected; a timeout reports what it gave last.
template <class T, class Describe>
void waitForValue(const std::function<T()>& read, const T& expected, const std::string& what, Describe describe) {
    T found{};
    try {
        waitUntil([&] { return (found = read()) == expected; }, what);
    } catch (const StepFailure&) {
        throw StepFailure(what + ": expected " + describe(expected) + ", found " + describe(found));
    }
}

}  // namespace

std::wstring shown(const char* text) { return toUtf16(text); }

MainWindowDriver::MainWindowDriver(const ProgramProcess& program)
    : program_(program),
      window_(waitForWindow({program.id(), win32::kMainWindowClass}, "the main window")),
      nameLabel_(control(window_, win32::kNameLabelId, "name label")),
      countLabel_(control(window_, win32::kCountLabelId, "count label")),
      nameList_(control(window_, win32::kNameListId, "name list")),
      pictureBox_(control(window_, win32::kPictureBoxId, "picture box")) {}

std::wstring MainWindowDriver::title() const { return textOf(window_); }
std::wstring MainWindowDriver::currentName() const { return textOf(nameLabel_); }
std::wstring MainWindowDriver::countText() const { return textOf(countLabel_); }

std::vector<std::wstring> MainWindowDriver::names() const {
    return RemoteListView(nameList_, program_.handle()).items();
}

int MainWindowDriver::selectedRow() const { return RemoteListView(nameList_, program_.handle()).selectedRow(); }

std::wstring MainWindowDriver::rowMarker(int row) const {
    return RemoteListView(nameList_, program_.handle()).itemText(row, 1);
}

int MainWindowDriver::commandId(std::string_view componentName) const {
    const auto controls = mainWindowControls();
    for (std::size_t row = 0; row < controls.size(); ++row) {
        if (controls[row].componentName && controls[row].componentName == componentName) {
            return win32::kFirstCommandId + static_cast<int>(row);
        }
    }
    throw StepFailure("no control " + std::string(componentName) + " in the command table");
}

HWND MainWindowDriver::button(std::string_view componentName) const {
    return control(window_, commandId(componentName), "button " + std::string(componentName));
}

bool MainWindowDriver::buttonEnabled(std::string_view componentName) const {
    return IsWindowEnabled(button(componentName)) != FALSE;
}

void MainWindowDriver::press(std::string_view componentName) const { pressButton(button(componentName)); }

void MainWindowDriver::choose(std::string_view componentName) const { postCommand(window_, commandId(componentName)); }

void MainWindowDriver::selectRow(int row) const { RemoteListView(nameList_, program_.handle()).select(row); }

void MainWindowDriver::pressKeyInNameList(UINT virtualKey) const {
    postTo(nameList_, WM_KEYDOWN, virtualKey, 1);
    postTo(nameList_, WM_KEYUP, virtualKey, 0xC0000001);
}

void MainWindowDriver::pressKeyOnPicture(UINT virtualKey) const {
    postTo(pictureBox_, WM_KEYDOWN, virtualKey, 1);
    postTo(pictureBox_, WM_KEYUP, virtualKey, 0xC0000001);
}

void MainWindowDriver::turnWheelOnPicture(int delta) const {
    RECT box{};
    GetWindowRect(pictureBox_, &box);
    postTo(pictureBox_, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2));
}

void MainWindowDriver::typeInNameList(wchar_t character) const { postTo(nameList_, WM_CHAR, character, 1); }

void MainWindowDriver::mouseOnPicture(UINT buttonMessage) const {
    RECT box{};
    GetClientRect(pictureBox_, &box);
    postTo(pictureBox_, buttonMessage, buttonMessage == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
           MAKELPARAM(box.right / 2, box.bottom / 2));
}

HWND MainWindowDriver::openPopupMenu() const {
    RECT box{};
    GetWindowRect(pictureBox_, &box);
    postTo(window_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(pictureBox_),
           MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2));
    return waitForWindow({program_.id(), L"#32768"}, "the popup menu");
}

void MainWindowDriver::pressKeyInMenu(UINT virtualKey) const {
    postTo(window_, WM_KEYDOWN, virtualKey, 1);
    postTo(window_, WM_KEYUP, virtualKey, 0xC0000001);
}

void MainWindowDriver::waitForName(const std::wstring& name, const std::string& what) const {
    waitForValue<std::wstring>([&] { return currentName(); }, name, what + " (name label)",
                               [](const std::wstring& text) { return "\"" + narrow(text) + "\""; });
}

void MainWindowDriver::waitForCount(int count, const std::string& what) const {
    const std::wstring expected = toUtf16(fillIn(texts().countLabel, {std::to_string(count)}));
    waitForValue<std::wstring>([&] { return countText(); }, expected, what + " (count label)",
                               [](const std::wstring& text) { return "\"" + narrow(text) + "\""; });
}

void MainWindowDriver::waitForNames(const std::vector<std::wstring>& expected, const std::string& what) const {
    waitForValue<std::vector<std::wstring>>([&] { return names(); }, expected, what + " (name list)", joined);
}

}  // namespace velmora::driver
