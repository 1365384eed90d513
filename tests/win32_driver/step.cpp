#include "tests/win32_driver/step.h"

#include "base/utf16.h"

namespace velmora::driver {

void require(bool condition, const std::string& what) {
    if (!condition) throw StepFailure(what);
}

void requireText(const std::wstring& found, const std::wstring& expected, const std::string& what) {
    if (found != expected) {
        throw StepFailure(what + ": expected \"" + narrow(expected) + "\", found \"" + narrow(found) + "\"");
    }
}

void waitUntil(const std::function<bool()>& condition, const std::string& what, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) throw StepFailure("timed out: " + what);
        Sleep(20);
    }
}

std::string narrow(const std::wstring& text) { return fromUtf16(text); }

}  // namespace velmora::driver
