#pragma once
// Bytes as a string, for writing them to a file or comparing them whole.

#include <string>

#include "base/bytes.h"

namespace velmora::test {

inline std::string asString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

inline SharedBytes sharedBytesOf(const std::string& text) { return shareBytes(Bytes(text.begin(), text.end())); }

}  // namespace velmora::test
