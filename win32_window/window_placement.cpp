#include "win32_window/window_placement.h"

namespace velmora::win32 {

namespace {

void centreIn(HWND window, const RECT& area) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    SetWindowPos(window, nullptr, (area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void centreOnWorkArea(HWND window) {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    centreIn(window, area);
}

void centreOnOwner(HWND window, HWND owner) {
    RECT area{};
    if (owner == nullptr || !GetWindowRect(owner, &area)) {
        centreOnWorkArea(window);
        return;
    }
    centreIn(window, area);
}

}  // namespace velmora::win32
