#pragma once
// The thumbnail window in plain Win32, bound to the core's ThumbnailForm as the Qt one
// is: a list view in icon mode with owner data, so 100,000 pictures cost only the rows
// on screen. Every item shares one blank image that reserves the picture's square; the
// picture, its placeholder and the rotation mark are drawn into it as the item is painted,
// from what the form holds then. The form owns the selection: clicks and keys go to it,
// and the list's selection is set from it. Its place is kept in the registry.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "browser/thumbnail_form.h"
#include "browser/thumbnail_view.h"

namespace velmora::win32 {

inline constexpr wchar_t kThumbnailWindowClass[] = L"VelmoraThumbnails";

class ThumbnailWindow : public ThumbnailView {
public:
    ThumbnailWindow(HINSTANCE instance, ThumbnailForm& form, HWND owner);
    ~ThumbnailWindow() override;
    ThumbnailWindow(const ThumbnailWindow&) = delete;
    ThumbnailWindow& operator=(const ThumbnailWindow&) = delete;

    // Shows the window (made at the first call) and brings it to the front.
    void show();
    HWND handle() const { return window_; }
    HWND grid() const { return list_; }
    // The window's messages (window_procedure.h).
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    // ThumbnailView.
    void refreshThumbnails() override;
    void thumbnailsArrived() override;
    void revealRow(int row) override;
    std::optional<std::string> chooseFolder(const std::string& caption) override;

private:
    void create();
    void applySize();
    void syncSelection();
    void updateVisible();
    LRESULT notify(NMHDR* header);
    LRESULT customDraw(NMLVCUSTOMDRAW* draw);
    void paintCell(HDC dc, int row, const RECT& icon);
    bool key(WPARAM virtualKey);
    void keepPlacement();

    HINSTANCE instance_;
    ThumbnailForm& form_;
    HWND owner_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HIMAGELIST blank_ = nullptr;
    HMENU popup_ = nullptr;
    HFONT font_ = nullptr;
    bool syncing_ = false;
    POINT shownOrigin_{-1, -1};
    std::wstring text_;  // the text handed to the list view for one item
};

}  // namespace velmora::win32
