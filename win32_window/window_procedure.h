#pragma once
// The window procedure of a class whose windows belong to a C++ object: the object
// passed as CreateWindowExW's last argument keeps the window's handle in its member
// Window and answers its messages in handle(message, wParam, lParam) (public).
#include <windows.h>

namespace velmora::win32 {

template <typename Owner, HWND Owner::*Window>
LRESULT CALLBACK ownedWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        owner->*Window = window;
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return owner ? owner->handle(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace velmora::win32
