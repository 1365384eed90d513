// The main window's layout, built from the command table and the layout table, its
// messages, and its wiring to the browser.
#include "win32_window/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>

#include <string_view>

#include "base/utf16.h"
#include "browser/commands.h"
#include "browser/name_list_keys.h"
#include "browser/row_markers.h"
#include "browser/window_layout.h"
#include "browser/window_start.h"
#include "platform/system_programs_win32.h"
#include "win32_window/control_ids.h"
#include "win32_window/dropped_files.h"
#include "win32_window/thumbnail_window.h"
#include "win32_window/window_procedure.h"
#include "win32_window/dpi.h"
#include "win32_window/shortcuts.h"
#include "win32_window/viewer_window.h"

namespace velmora::win32 {

namespace {

const COLORREF kRed = RGB(255, 0, 0);

std::wstring wide(const char* text) { return toUtf16(text ? text : ""); }

RECT scaledRect(const DialogRect& place, int dpi) {
    const int left = scaled(place.x, dpi), top = scaled(place.y, dpi);
    return RECT{left, top, left + scaled(place.width, dpi), top + scaled(place.height, dpi)};
}

void moveTo(HWND control, const RECT& rect) {
    MoveWindow(control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

// The id of a control of the command table.
int commandId(std::size_t row) { return kFirstCommandId + static_cast<int>(row); }

// The screen's bits per pixel times its planes.
int screenBits() {
    HDC screen = GetDC(nullptr);
    if (!screen) return 32;
    const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    return bits;
}

// The hint of the picture, over the picture's place only.
constexpr UINT_PTR kPictureHintTool = 1;

}  // namespace

int runMainWindow(HINSTANCE instance, int show, platform::Platform& platform,
                  const std::optional<std::string>& startFile) {
    declareDpiAwareness();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES |
                                                        ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The file dialogs and the clipboard's image reader use COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status = 0;
    {
        MainWindow window(instance, platform);
        window.create(show, startFile);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (window.translateKey(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        status = static_cast<int>(message.wParam);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return status;
}

namespace {

// The user's local application data (kept thumbnails are a cache, not roamed); "" when unknown.
std::string localCacheFolder() {
    PWSTR local = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local))) folder = fromUtf16(local);
    CoTaskMemFree(local);
    return folder;
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, platform::Platform& platform)
    : instance_(instance), platform_(platform) {}

MainWindow::~MainWindow() {
    // The thumbnail window reads the browser's form; the browser calls back into the view
    // while it closes its query.
    thumbnails_.reset();
    browser_.reset();
    if (window_) DestroyWindow(window_);
    if (popupMenu_) DestroyMenu(popupMenu_);
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(redFont_),
                           static_cast<HGDIOBJ>(hintBrush_)}) {
        if (object) DeleteObject(object);
    }
}

void MainWindow::create(int show, const std::optional<std::string>& startFile) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof(type);
    type.lpfnWndProc = ownedWindowProcedure<MainWindow, &MainWindow::window_>;
    type.hInstance = instance_;
    type.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
    type.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = kMainWindowClass;
    RegisterClassExW(&type);
    PictureBox::registerClass(instance_);
    hintBrush_ = CreateSolidBrush(kRed);

    // Fixed border, system menu and minimise box only.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    window_ = CreateWindowExW(0, kMainWindowClass, wide(texts().applicationTitle).c_str(), style,
                              kMainWindowGeometry.x, kMainWindowGeometry.y, 100, 100, nullptr, nullptr, instance_, this);
    dpi_ = dpiOf(window_);
    clipboard_.setOwner(window_);
    BrowserServices services;
    services.clipboard = &clipboard_;
    services.platform = &platform_;
    services.imageDecoder = &imageDecoder_;
    services.wallpaperSettings = &wallpaperSettings_.services();
    if (const std::string cache = localCacheFolder(); !cache.empty()) services.thumbnailStore = cache + "\\Velmora\\thumbnails.db";
    services.languageSetting = &languageSetting_;
    services.recentServers = &languageSetting_;
    services.keyring = keyring_.get();
    services.openUrl = [](const std::string& url) {
        platform::shellExecuteFile("open", "explorer.exe", url, SW_SHOWNORMAL);
    };
    browser_ = std::make_unique<CollectionBrowser>(std::move(services), *this);
    createControls();
    buildPopupMenu();
    updateFonts();
    layOut();
    DragAcceptFiles(window_, TRUE);
    startWindow(*browser_, screenBits(), startFile, [this, show] {
        ShowWindow(window_, show);
        UpdateWindow(window_);
    });
}

void MainWindow::createControls() {
    const TextTable& text = texts();
    auto label = [&](const char* caption, int id, DWORD extra = 0) {
        // SS_NOPREFIX: names are shown as typed, "&" included.
        return CreateWindowExW(0, L"STATIC", wide(caption).c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX | extra, 0, 0,
                               0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    };
    nameCaption_ = label(text.nameCaption, kNameCaptionId);
    nameLabel_ = label("", kNameLabelId);
    countCaption_ = label(text.countCaption, kCountCaptionId);
    countLabel_ = label(text.countDesign, kCountLabelId);
    popupHint_ = label(text.popupHint, kPopupHintId);

    nameList_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                                    LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                                0, 0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kNameListId)),
                                instance_, nullptr);
    ListView_SetExtendedListViewStyle(nameList_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    std::wstring column = wide(text.nameListColumn);
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT | LVCF_WIDTH;
    header.pszText = column.data();
    header.cx = 100;
    ListView_InsertColumn(nameList_, 0, &header);
    // The row indicator (the current, edited or inserted row) is column 1 shown first,
    // so that an item's own text (column 0) stays its name.
    std::wstring none;
    header.pszText = none.data();
    header.cx = kRowIndicatorWidth;
    ListView_InsertColumn(nameList_, 1, &header);
    int order[] = {1, 0};
    ListView_SetColumnOrderArray(nameList_, 2, order);

    pictureBox_.create(window_, instance_, kPictureBoxId,
                       {.clicked = [this] { browser_->openViewer(); },
                        .painted = [this] { browser_->pictureShown(); },
                        .decodeFailed = [this](const std::string& message) { browser_->reportError(message); }});

    const auto controls = mainWindowControls();
    for (std::size_t row = 0; row < controls.size(); ++row) {
        if (controls[row].kind != ControlKind::Button) continue;
        HWND button = CreateWindowExW(0, L"BUTTON", wide(texts().*controls[row].caption).c_str(),
                                      WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_FLAT, 0, 0, 0, 0, window_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(commandId(row))), instance_, nullptr);
        buttons_.push_back(button);
    }

    // The hints as tool tips: the name list's over the list, the picture's over the
    // picture's place (laid out by layOut()).
    tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0,
                            0, window_, nullptr, instance_, nullptr);
    std::wstring listTip = wide(text.nameListHint), pictureTip = wide(text.pictureHint);
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(nameList_);
    tool.lpszText = listTip.data();
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = pictureBox_.handle();
    tool.uId = kPictureHintTool;
    tool.lpszText = pictureTip.data();
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::buildPopupMenu() {
    popupMenu_ = CreatePopupMenu();
    HMENU menu = popupMenu_;
    const auto controls = mainWindowControls();
    for (std::size_t row = 0; row < controls.size(); ++row) {
        const CommandControl& control = controls[row];
        const std::string caption = control.caption ? texts().*control.caption : "";
        switch (control.kind) {
        case ControlKind::Button: break;
        case ControlKind::MenuItem:
        case ControlKind::ChoiceItem:
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(commandId(row)), withShortcut(caption, control.shortcut).c_str());
            break;
        case ControlKind::Submenu:
            menu = CreatePopupMenu();
            AppendMenuW(popupMenu_, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), wide(caption.c_str()).c_str());
            if (std::string_view(control.componentName) == "PicFilt") filterMenu_ = menu;
            break;
        case ControlKind::SubmenuEnd: menu = popupMenu_; break;
        case ControlKind::Separator: AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); break;
        }
    }
}

void MainWindow::updateFonts() {
    for (HFONT font : {font_, redFont_}) {
        if (font) DeleteObject(font);
    }
    font_ = windowFont(kWindowFontHeight, dpi_);
    redFont_ = windowFont(kRedLabelFontHeight, dpi_);
    auto setFont = [](HWND control, HFONT font) { SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); };
    for (HWND control : {nameCaption_, countCaption_, popupHint_, nameList_}) setFont(control, font_);
    for (HWND control : {nameLabel_, countLabel_}) setFont(control, redFont_);
    for (HWND button : buttons_) setFont(button, font_);
}

void MainWindow::layOut() {
    RECT frame{0, 0, scaled(kMainWindowGeometry.width, dpi_), scaled(kMainWindowGeometry.height, dpi_)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE, 0);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    using namespace component;
    const std::pair<HWND, const char*> places[] = {{nameCaption_, kNameCaption}, {nameLabel_, kNameLabel},
                                                   {countCaption_, kCountCaption}, {countLabel_, kCountLabel},
                                                   {popupHint_, kPopupHint},       {nameList_, kNameList}};
    for (const auto& [control, name] : places) moveTo(control, scaledRect(mainWindowPlace(name), dpi_));
    fitNameColumn();

    // The picture's place inside the area's client rectangle (inside its border).
    RECT area = scaledRect(mainWindowPlace(kPictureArea), dpi_);
    pictureBox_.place(area, kPictureInArea, dpi_);
    TOOLINFOW hint{};
    hint.cbSize = sizeof(hint);
    hint.hwnd = pictureBox_.handle();
    hint.uId = kPictureHintTool;
    hint.rect = pictureBox_.pictureRect();
    SendMessageW(tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&hint));

    const auto controls = mainWindowControls();
    std::size_t button = 0;
    for (const CommandControl& control : controls) {
        if (control.kind != ControlKind::Button) continue;
        moveTo(buttons_[button++], scaledRect(mainWindowPlace(control.componentName), dpi_));
    }
}

void MainWindow::fitNameColumn() {
    // The names take what the indicator leaves, as far as the scroll bar.
    const int indicator = scaled(kRowIndicatorWidth, dpi_);
    RECT client{};
    GetClientRect(nameList_, &client);
    ListView_SetColumnWidth(nameList_, 1, indicator);
    ListView_SetColumnWidth(nameList_, 0, std::max(indicator, static_cast<int>(client.right) - indicator));
}

bool MainWindow::translateKey(MSG& message) {
    if (!browser_ || !(message.hwnd == window_ || IsChild(window_, message.hwnd))) return false;
    if (message.message == WM_MOUSEWHEEL) return turnWheel(message);
    if (message.message != WM_KEYDOWN) return false;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const std::string key = keyName(message.wParam, ctrl, GetKeyState(VK_SHIFT) < 0);
    // The shortcuts of the command table, also while the popup menu is closed, then the
    // picture's own keys while it has the focus.
    CommandId command = shortcutCommand(key);
    if (command == CommandId::None && message.hwnd == pictureBox_.handle()) command = commandOfKey(pictureAreaKeys(), key);
    if (command != CommandId::None) {
        browser_->run(command);
        return true;
    }
    if (message.hwnd != nameList_) return false;
    static constexpr std::pair<WPARAM, NameListKey> kKeys[] = {
        {VK_UP, NameListKey::Up},     {VK_DOWN, NameListKey::Down}, {VK_PRIOR, NameListKey::PageUp},
        {VK_NEXT, NameListKey::PageDown}, {VK_HOME, NameListKey::Home}, {VK_END, NameListKey::End},
        {VK_INSERT, NameListKey::Insert}, {VK_DELETE, NameListKey::Delete},
    };
    for (const auto& [virtualKey, key] : kKeys) {
        if (message.wParam != virtualKey) continue;
        const int page = std::max(1, ListView_GetCountPerPage(nameList_));
        const int top = ListView_GetTopIndex(nameList_);
        pressNameListKey(*browser_, key, ctrl, {top, std::min(top + page - 1, browser_->rowCount() - 1), page});
        return true;
    }
    return false;
}

bool MainWindow::turnWheel(const MSG& message) {
    // The wheel turns the pictures while the pointer is over the picture box, whichever
    // control has the focus; whole notches only, so a touchpad's small steps add up.
    POINT pointer{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
    RECT box{};
    GetWindowRect(pictureBox_.handle(), &box);
    if (!PtInRect(&box, pointer)) return false;
    wheelRest_ += GET_WHEEL_DELTA_WPARAM(message.wParam);
    while (wheelRest_ >= WHEEL_DELTA || wheelRest_ <= -WHEEL_DELTA) {
        const int notch = wheelRest_ > 0 ? WHEEL_DELTA : -WHEEL_DELTA;
        wheelRest_ -= notch;
        browser_->run(wheelCommand(notch));
    }
    return true;
}

void MainWindow::runCommandId(int id) {
    const auto controls = mainWindowControls();
    const int row = id - kFirstCommandId;
    if (row < 0 || row >= static_cast<int>(controls.size())) return;
    const CommandControl& control = controls[static_cast<std::size_t>(row)];
    if (control.command == CommandId::None) return;
    browser_->run(control.command);
}

void MainWindow::showPopupMenu(POINT screen) {
    if (screen.x == -1 && screen.y == -1) {
        // From the keyboard: at the picture area's corner.
        RECT area;
        GetWindowRect(pictureBox_.handle(), &area);
        screen = POINT{area.left, area.top};
    }
    SetForegroundWindow(window_);
    TrackPopupMenu(popupMenu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, window_, nullptr);
}

LRESULT MainWindow::nameListNotify(NMHDR* header) {
    switch (header->code) {
    case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
        if (!(info->item.mask & LVIF_TEXT)) return 0;
        if (info->item.iSubItem == 1) {
            listText_ = toUtf16(rowMarkerText(browser_->rowMarker(info->item.iItem)));
        } else {
            const std::optional<std::string> name = browser_->rowName(info->item.iItem);
            listText_ = name ? toUtf16(*name) : std::wstring();
        }
        info->item.pszText = listText_.data();
        return 0;
    }
    case LVN_ODFINDITEMW:
        // Type-ahead finds nothing: only the list's own keys move the cursor.
        return -1;
    case LVN_ITEMCHANGED: {
        // A click (or the list's own key handling) selected a row: make it current.
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (!followingBrowser_ && change->iItem >= 0 && (change->uNewState & LVIS_SELECTED) &&
            !(change->uOldState & LVIS_SELECTED) && change->iItem != browser_->currentRow()) {
            browser_->moveToRow(change->iItem);
        }
        return 0;
    }
    default: return 0;
    }
}

void MainWindow::dropFiles(HDROP drop) {
    const std::vector<std::string> paths = takeDroppedFiles(drop);
    if (browser_->acceptsDrop(paths)) browser_->drop(paths);
}

void MainWindow::runPosted() {
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard lock(postedMutex_);
        tasks.swap(posted_);
    }
    for (auto& task : tasks) task();
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) {
            runCommandId(LOWORD(wParam));
            // Speed buttons never keep the focus.
            if (lParam != 0 && GetFocus() == reinterpret_cast<HWND>(lParam)) SetFocus(nameList_);
            return 0;
        }
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == nameList_ && browser_) return nameListNotify(header);
        break;
    }
    case WM_CONTEXTMENU: {
        const auto source = reinterpret_cast<HWND>(wParam);
        if (source == nameList_ || source == pictureBox_.handle()) {
            showPopupMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        }
        break;
    }
    case WM_CTLCOLORSTATIC: {
        const auto control = reinterpret_cast<HWND>(lParam);
        auto dc = reinterpret_cast<HDC>(wParam);
        if (control == popupHint_) {
            SetBkColor(dc, kRed);
            return reinterpret_cast<LRESULT>(hintBrush_);
        }
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        if (control == nameLabel_ || control == countLabel_) SetTextColor(dc, kRed);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DROPFILES: dropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_DPICHANGED: {
        dpi_ = HIWORD(wParam);
        const auto* suggested = reinterpret_cast<RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        updateFonts();
        layOut();
        return 0;
    }
    case kRunPosted: runPosted(); return 0;
    case WM_TIMER:
        if (wParam != kChangesTimer || !browser_) break;
        browser_->changesMayHaveArrived();
        return 0;
    case WM_CLOSE: DestroyWindow(window_); return 0;
    case WM_DESTROY:
        window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace velmora::win32
