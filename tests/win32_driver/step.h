#pragma once
// Failures of the driven scenario. Each names what was expected, and the scenario adds
// the step it happened in, so a failed run says where it stopped and why.

#include <windows.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>

namespace velmora::driver {

class StepFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How long a window may take to appear, answer or change before the step fails.
inline constexpr std::chrono::milliseconds kPatience{10000};

// Raises StepFailure(what) unless condition holds.
void require(bool condition, const std::string& what);
// Raises StepFailure naming what, the expected and the found text unless they are equal.
void requireText(const std::wstring& found, const std::wstring& expected, const std::string& what);

// Polls condition every 20 ms until it holds; raises StepFailure "timed out: what"
// after patience. Returns at once when it holds already.
void waitUntil(const std::function<bool()>& condition, const std::string& what,
               std::chrono::milliseconds patience = kPatience);

// UTF-8 for messages.
std::string narrow(const std::wstring& text);

}  // namespace velmora::driver
