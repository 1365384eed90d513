#include "tests/win32_driver/window_messages.h"

#include <vector>

#include "tests/win32_driver/step.h"

namespace velmora::driver {

namespace {

// Long enough for a command that decodes a picture before it answers.
constexpr UINT kSendTimeoutMs = 5000;

}  // namespace

LRESULT sendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kSendTimeoutMs,
                             &result)) {
        const DWORD error = GetLastError();
        throw StepFailure("window " + std::to_string(reinterpret_cast<std::uintptr_t>(window)) +
                          " did not answer message " + std::to_string(message) + " (error " +
                          std::to_string(error) + ")");
    }
    return static_cast<LRESULT>(result);
}

void postTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool posted = PostMessageW(window, message, wParam, lParam) != FALSE;
    const DWORD error = GetLastError();
    require(posted, "cannot post message " + std::to_string(message) + " (error " + std::to_string(error) + ")");
}

std::wstring textOf(HWND window) {
    const auto length = static_cast<std::size_t>(sendTo(window, WM_GETTEXTLENGTH));
    std::vector<wchar_t> text(length + 1);
    const auto copied = static_cast<std::size_t>(
        sendTo(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    return std::wstring(text.data(), copied < length ? copied : length);
}

void setTextOf(HWND window, const std::wstring& text) {
    require(sendTo(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != FALSE,
            "the control refused the text \"" + narrow(text) + "\"");
}

std::wstring classOf(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void pressButton(HWND button) { postTo(button, BM_CLICK); }

void postCommand(HWND window, int id) { postTo(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

}  // namespace velmora::driver
