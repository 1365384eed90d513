#include "win32_window/modal_windows.h"

#include <algorithm>
#include <vector>

namespace velmora::win32 {

namespace {

std::vector<HWND>& openModals() {
    thread_local std::vector<HWND> windows;
    return windows;
}

}  // namespace

void modalOpened(HWND window) { openModals().push_back(window); }

void modalClosed(HWND window) { std::erase(openModals(), window); }

HWND newestModal(HWND otherwise) { return openModals().empty() ? otherwise : openModals().back(); }

}  // namespace velmora::win32
