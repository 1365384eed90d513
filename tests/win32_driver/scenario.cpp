// The walk: a collection of three pictures, one of them and the folder named in Chinese;
// start, walk (a letter typed in the list moves nothing), the viewer (opened by a click,
// not by a release alone), add from a file, rename, filter, show all, delete, copy and
// paste (a box over the naming dialog blocks it), wallpaper and quit; a start on a 150 %
// screen; then a start in a folder without pictures.vlm (the error before the window),
// quit from the menu.
#include "tests/win32_driver/scenario.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "base/utf16.h"
#include "browser/commands.h"
#include "browser/texts.h"
#include "browser/window_layout.h"
#include "store/database/collection_file.h"
#include "tests/win32_driver/desktop_checks.h"
#include "tests/win32_driver/main_window_driver.h"
#include "tests/win32_driver/modal_windows.h"
#include "tests/win32_driver/picture_check.h"
#include "tests/win32_driver/png_file.h"
#include "tests/win32_driver/program_process.h"
#include "tests/win32_driver/screen_capture.h"
#include "tests/win32_driver/step.h"
#include "tests/win32_driver/window_messages.h"
#include "tests/win32_driver/window_search.h"
#include "win32_window/control_ids.h"
#include "tools/synthetic_picture.h"
#include "wallpaper/wallpaper_location.h"

namespace velmora::driver {

namespace {

// The window draws the core's display bitmap 1:1; what differs is the X server's doing.
constexpr double kPixelTolerance = 1.0;

// Prints each step as it ends, so a failure comes after the last one that passed.
class Steps {
public:
    void begin(const char* name) {
        end();
        name_ = name;
        started_ = std::chrono::steady_clock::now();
    }
    void end() {
        if (!name_) return;
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_);
        std::printf("passed: %s (%lld ms)\n", name_, static_cast<long long>(took.count()));
        std::fflush(stdout);
        name_ = nullptr;
    }
    const char* current() const { return name_ ? name_ : "preparing"; }

private:
    const char* name_ = nullptr;
    std::chrono::steady_clock::time_point started_;
};

struct Picture {
    std::wstring name;
    Bytes jpeg;
    int width;
    int height;
};

Picture picture(const wchar_t* name, int width, int height, int variant) {
    return {name, tools::syntheticJpeg(width, height, variant), width, height};
}

std::wstring fullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH] = {};
    require(GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr) > 0, "no full path for " + narrow(path));
    return full;
}

void writeFile(const std::wstring& path, const Bytes& bytes) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    require(file.good(), "cannot write " + narrow(path));
}

// dpi: the program's (Wine gives every window of a process its system DPI).
void waitForPicture(const MainWindowDriver& window, const Picture& shown, const std::string& what,
                    int dpi = screenDpi()) {
    double difference = 0;
    try {
        waitUntil(
            [&] { return (difference = pictureBoxDifference(window.pictureBox(), shown.jpeg, dpi)) < kPixelTolerance; },
            what);
    } catch (const StepFailure&) {
        throw StepFailure(what + ": the picture box differs from " + narrow(shown.name) + " fitted by " +
                          std::to_string(difference) + " per channel");
    }
}

void expectNavigation(const MainWindowDriver& window, bool previous, bool next, const std::string& what) {
    waitUntil([&] { return window.buttonEnabled("SpeedButton1") == previous && window.buttonEnabled("SpeedButton2") == next; },
              what + ": previous " + (previous ? "available" : "unavailable") + ", next " +
                  (next ? "available" : "unavailable"));
}

void expectButtonCaptions(const MainWindowDriver& window) {
    for (const CommandControl& control : mainWindowControls()) {
        if (control.kind != ControlKind::Button) continue;
        requireText(textOf(window.button(control.componentName)), shown(texts().*control.caption),
                    std::string("caption of ") + control.componentName);
    }
}

void expectNameDialog(const NameDialogSeen& seen, const char* caption, const std::wstring& text) {
    requireText(seen.caption, shown(caption), "name dialog caption");
    requireText(seen.initialText, text, "name dialog's edit box when it opens");
}

void emptyClipboard() {
    require(OpenClipboard(nullptr) != FALSE, "cannot open the clipboard");
    EmptyClipboard();
    CloseClipboard();
}

// The collection the walk starts on: three pictures, the first larger than the picture
// box, the second smaller; and a picture file to add.
struct Collection {
    std::wstring folder;
    Picture sunset = picture(L"日落", 1600, 1200, 1);
    Picture kitten = picture(L"小猫", 300, 200, 2);
    Picture harbour = picture(L"Harbour", 800, 300, 3);
    Picture landscape = picture(L"风景", 400, 300, 4);
    std::wstring landscapeFile = folder + L"\\风景.jpg";
};

Collection makeCollection(const std::wstring& folder) {
    Collection made{folder};
    createCollection(fromUtf16(folder + L"\\pictures.vlm"), {{fromUtf16(made.sunset.name), made.sunset.jpeg},
                                                                     {fromUtf16(made.kitten.name), made.kitten.jpeg},
                                                                     {fromUtf16(made.harbour.name), made.harbour.jpeg}});
    writeFile(made.landscapeFile, made.landscape.jpeg);
    return made;
}

void walkTheCollection(const ScenarioPaths& paths, const Collection& collection, Steps& steps) {
    const TextTable& text = texts();
    const auto& [folder, sunset, kitten, harbour, landscape, landscapeFile] = collection;
    emptyClipboard();

    steps.begin("start");
    ProgramProcess program(paths.program, folder);
    MainWindowDriver window(program);
    const DWORD process = program.id();
    window.waitForCount(3, "start");
    requireText(window.title(),
                shown(text.applicationTitle) + toUtf16(fillIn(text.defaultFileTitle, {fromUtf16(folder) + "\\pictures.vlm"})),
                "window title");
    window.waitForName(sunset.name, "start");
    window.waitForNames({sunset.name, kitten.name, harbour.name}, "start");
    require(window.selectedRow() == 0, "the first row is not selected");
    require(window.rowMarker(0) == L"\u25B6" && window.rowMarker(1).empty(), "the first row has not the indicator");
    expectNavigation(window, false, true, "start");
    expectButtonCaptions(window);

    steps.begin("the first picture fitted into the picture box, and the window's picture");
    waitForPicture(window, sunset, "the first picture");
    writePng(paths.screenshot, captureWindow(window.handle()));

    steps.begin("walk with the buttons, the name list and its keys");
    window.press("SpeedButton2");
    window.waitForName(kitten.name, "next");
    expectNavigation(window, true, true, "next");
    waitForPicture(window, kitten, "a small picture, centred and not enlarged");
    window.press("SpeedButton2");
    window.waitForName(harbour.name, "next again");
    window.press("SpeedButton2");
    expectNavigation(window, true, false, "next at the end");
    require(window.currentName() == harbour.name && window.selectedRow() == 2, "next at the end moved");
    window.press("SpeedButton1");
    window.waitForName(kitten.name, "previous");
    window.selectRow(0);
    window.waitForName(sunset.name, "a row of the name list selected");
    waitForPicture(window, sunset, "the selected row's picture");
    window.pressKeyInNameList(VK_END);
    window.waitForName(harbour.name, "End in the name list");
    window.pressKeyInNameList(VK_UP);
    window.waitForName(kitten.name, "Up in the name list");
    window.pressKeyInNameList(VK_HOME);
    window.waitForName(sunset.name, "Home in the name list");
    // A letter typed into the list moves nothing: Down then goes on from where it was.
    window.pressKeyInNameList(VK_DOWN);
    window.waitForName(kitten.name, "Down in the name list");
    window.typeInNameList(L'H');
    window.pressKeyInNameList(VK_DOWN);
    window.waitForName(harbour.name, "a letter typed in the name list, then Down");
    window.pressKeyInNameList(VK_HOME);
    window.waitForName(sunset.name, "Home in the name list");
    // The picture's keys and the wheel over it.
    window.pressKeyOnPicture(VK_RIGHT);
    window.waitForName(kitten.name, "Right on the picture");
    window.turnWheelOnPicture(WHEEL_DELTA);  // away from the user
    window.waitForName(sunset.name, "the wheel turned away over the picture");

    steps.begin("the viewer opens on a click on the picture, not on a release alone");
    // The release left over from a double-click in a file dialog closed over the picture.
    window.mouseOnPicture(WM_LBUTTONUP);
    for (int i = 0; i < 25; ++i) {
        require(!findWindow({process, win32::kViewerWindowClass}), "a release alone opened the viewer");
        Sleep(20);
    }
    window.mouseOnPicture(WM_LBUTTONDOWN);
    window.mouseOnPicture(WM_LBUTTONUP);
    const HWND viewer = waitForWindow({process, win32::kViewerWindowClass}, "the viewer");
    requireText(textOf(viewer), shown(text.viewerCaption) + toUtf16(fillIn(text.viewerCaptionName, {fromUtf16(sunset.name)})),
                "viewer caption");
    postTo(viewer, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    postTo(viewer, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    waitUntilGone(viewer, "the viewer closed by a click");

    steps.begin("add from a file through the file dialog and the naming dialog");
    window.choose("LoadFormFile");
    answerFileDialog(process, landscapeFile, "the open dialog");
    expectNameDialog(answerNameDialog(process, landscape.name, "the naming dialog"), text.pictureNameCaption,
                     toUtf16(fillIn(text.proposedName, {"4"})));
    window.waitForCount(4, "added");
    window.waitForNames({sunset.name, kitten.name, harbour.name, landscape.name}, "added");
    window.waitForName(landscape.name, "added");
    waitForPicture(window, landscape, "the added picture");

    steps.begin("rename");
    const std::wstring renamed = L"山水风景";
    window.choose("Rename");
    expectNameDialog(answerNameDialog(process, renamed, "the rename dialog"), text.renameCaption, shown(text.renameText));
    window.waitForName(renamed, "renamed");
    window.waitForNames({sunset.name, kitten.name, harbour.name, renamed}, "renamed");

    steps.begin("filter by name, then show all");
    window.choose("FiltByName");
    expectNameDialog(answerNameDialog(process, L"风景", "the filter dialog"), text.filterCaption, shown(text.filterText));
    window.waitForNames({renamed}, "filtered");
    window.waitForCount(4, "filtered");
    window.choose("ShowAll");
    window.waitForNames({sunset.name, kitten.name, harbour.name, renamed}, "all shown");
    window.waitForName(sunset.name, "all shown");

    steps.begin("delete, cancelled once, then confirmed");
    window.selectRow(2);
    window.waitForName(harbour.name, "the picture to delete");
    for (int answer : {IDCANCEL, IDOK}) {
        window.press("SpeedButton3");
        const MessageBoxSeen box = answerMessageBox(process, answer, "the delete confirmation");
        requireText(box.caption, shown(text.confirmCaption), "confirmation caption");
        requireText(box.text, shown(text.confirmDelete), "confirmation text");
        require(box.hasCancel, "the confirmation has no Cancel button");
        if (answer == IDCANCEL) window.waitForNames({sunset.name, kitten.name, harbour.name, renamed}, "cancelled");
    }
    window.waitForCount(3, "deleted");
    window.waitForNames({sunset.name, kitten.name, renamed}, "deleted");
    window.waitForName(renamed, "deleted");

    steps.begin("copy to the clipboard as CF_DIB, paste as a new picture");
    window.choose("CopyToCBoard");
    waitUntil([] { return clipboardDibSize() == PictureSize{400, 300}; }, "a 400 x 300 CF_DIB on the clipboard");
    const std::wstring pasted = L"粘贴的风景";
    window.choose("PasteFromCBoard");
    // "确定" on an empty name: the box belongs to the naming dialog, which waits for it.
    const NameDialogSeen naming = answerNameDialog(process, L"", "the naming dialog", false);
    expectNameDialog(naming, text.pictureNameCaption, toUtf16(fillIn(text.proposedName, {"4"})));
    const MessageBoxSeen empty = answerMessageBox(process, IDOK, "the empty name");
    requireText(empty.text, shown(text.emptyPictureName), "empty name text");
    require(empty.owner == naming.window && !empty.ownerTakesInput,
            "the box is not the naming dialog's, or the dialog takes input under it");
    answerNameDialog(process, pasted, "the naming dialog again");
    window.waitForCount(4, "pasted");
    window.waitForNames({sunset.name, kitten.name, renamed, pasted}, "pasted");
    window.waitForName(pasted, "pasted");

    steps.begin("set as wallpaper");
    window.selectRow(1);
    window.waitForName(kitten.name, "the wallpaper picture");
    window.press("SpeedButton4");
    const std::wstring bitmap = toUtf16(wallpaperFilePath(fromUtf16(kitten.name)));
    // The setting in the registry first: Wine keeps what SPI_GETDESKWALLPAPER read
    // once for the rest of the process, so it is asked only when the command is done.
    const std::wstring desktopKey = L"Control Panel\\Desktop";
    try {
        waitUntil([&] { return userStringValue(desktopKey, L"Wallpaper") == bitmap && IsWindowVisible(window.handle()); },
                  "");
    } catch (const StepFailure&) {
        throw StepFailure("HKCU\\Control Panel\\Desktop Wallpaper is \"" +
                          narrow(userStringValue(desktopKey, L"Wallpaper").value_or(L"(none)")) + "\", not " +
                          narrow(bitmap) + (IsWindowVisible(window.handle()) ? "" : ", and the window is hidden"));
    }
    requireText(systemWallpaper(), bitmap, "SPI_GETDESKWALLPAPER");
    requireText(userStringValue(L"software\\Velmora", L"FileName").value_or(L"(none)"), kitten.name,
                "HKCU\\software\\Velmora FileName");
    require(bmpFileSize(bitmap) == PictureSize{kitten.width, kitten.height},
            narrow(bitmap) + " is not a 24-bit bitmap of the picture's size");

    steps.begin("quit");
    window.press("SpeedButton5");
    require(program.waitForExit() == 0, "the program ended with a failure status");
}

void startOnA150PercentScreen(const ScenarioPaths& paths, const Collection& collection, Steps& steps) {
    steps.begin("a 150 % screen: the layout and the viewer scaled, the picture decoded for its device pixels");
    const DWORD dpi = 144;
    const std::wstring desktopKey = L"Control Panel\\Desktop";
    require(RegSetKeyValueW(HKEY_CURRENT_USER, desktopKey.c_str(), L"LogPixels", REG_DWORD, &dpi, sizeof dpi) ==
                ERROR_SUCCESS,
            "cannot set LogPixels");
    ProgramProcess program(paths.program, collection.folder);
    MainWindowDriver window(program);
    window.waitForName(collection.sunset.name, "start at 150 %");
    RECT client{};
    GetClientRect(window.handle(), &client);
    require(client.right == MulDiv(kMainWindowGeometry.width, dpi, 96) &&
                client.bottom == MulDiv(kMainWindowGeometry.height, dpi, 96),
            "the window's client area is " + std::to_string(client.right) + " x " + std::to_string(client.bottom) +
                ", not scaled by 150 %");
    waitForPicture(window, collection.sunset, "the first picture at 150 %", static_cast<int>(dpi));
    // The viewer: one picture pixel per screen pixel, not scaled as the window is.
    window.press("SpeedButton2");
    window.waitForName(collection.kitten.name, "next at 150 %");
    window.mouseOnPicture(WM_LBUTTONDOWN);
    window.mouseOnPicture(WM_LBUTTONUP);
    const HWND viewer = waitForWindow({program.id(), win32::kViewerWindowClass}, "the viewer at 150 %");
    RECT shownClient{};
    GetClientRect(viewer, &shownClient);
    require(shownClient.right == collection.kitten.width && shownClient.bottom == collection.kitten.height,
            "the viewer's client area is " + std::to_string(shownClient.right) + " x " +
                std::to_string(shownClient.bottom) + ", not the picture's own size at 150 %");
    postTo(viewer, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    postTo(viewer, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    waitUntilGone(viewer, "the viewer at 150 % closed by a click");
    window.press("SpeedButton5");
    require(program.waitForExit() == 0, "the program ended with a failure status");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, desktopKey.c_str(), L"LogPixels");
}

void startWithoutPictures(const ScenarioPaths& paths, const std::wstring& folder, Steps& steps) {
    const TextTable& text = texts();
    steps.begin("start in a folder without pictures.vlm, quit through the popup menu");
    ProgramProcess program(paths.program, folder);
    const MessageBoxSeen box = answerMessageBox(program.id(), IDOK, "the error at start");
    requireText(box.caption, shown(text.applicationTitle), "error caption");
    requireText(box.text, L"unable to open database file.", "error text");
    require(!box.ownerShown, "the window showed before the error at start");
    MainWindowDriver window(program);
    requireText(window.title(), shown(text.applicationTitle), "window title");
    requireText(window.countText(), shown(text.countDesign), "count label");
    require(window.names().empty(), "the name list is not empty");
    // Quit, the popup menu's last item, through the menu: Up from no item selects it.
    window.openPopupMenu();
    window.pressKeyInMenu(VK_UP);
    window.pressKeyInMenu(VK_RETURN);
    require(program.waitForExit() == 0, "the program ended with a failure status");
}

}  // namespace

bool runScenario(const ScenarioPaths& paths) {
    Steps steps;
    try {
        // The pointer off the window: no tool tip over the picture.
        SetCursorPos(0, 0);
        std::wstring work = fullPath(paths.workFolder);
        if (!work.empty() && work.back() == L'\\') work.pop_back();
        const std::wstring collection = work + L"\\图片集", empty = work + L"\\空文件夹";
        for (const std::wstring& folder : {collection, empty}) {
            require(CreateDirectoryW(folder.c_str(), nullptr) != FALSE, "cannot create " + narrow(folder));
        }
        const Collection made = makeCollection(collection);
        walkTheCollection(paths, made, steps);
        startOnA150PercentScreen(paths, made, steps);
        startWithoutPictures(paths, empty, steps);
        steps.end();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "FAILED in step \"%s\": %s\n", steps.current(), error.what());
        return false;
    }
    std::puts("every step passed");
    return true;
}

}  // namespace velmora::driver
