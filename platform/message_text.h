#pragma once
// The closing full stop of the application's error messages.

#include <string>

namespace velmora::platform {

// message with "." appended when its last character, compared as bytes with ".",
// sorts above it: after a letter, a digit, a multi-byte UTF-8 character or a sign
// above "." a full stop follows; after a blank, "!", "'", ")", "-", "." or an empty
// message none does.
std::string withClosingFullStop(const std::string& message);

}  // namespace velmora::platform
