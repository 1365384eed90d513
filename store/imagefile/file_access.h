#pragma once
// Whole-file reads and replacing writes, failing with the product's file messages.

#include <string>

#include "store/bytes.h"

namespace velmora {

// Every byte of a regular file. Raises "Cannot open file "<full path>". <system text>"
// when it cannot be opened (also for a folder or a device, which are never read), and
// "Stream read error" when reading fails midway.
Bytes readFileBytes(const std::string& path);

// Replaces path with bytes: they go to a new file beside it, which is renamed over
// path only once complete, so path never holds a partial file. Raises
// "Cannot create file "<full path>". <system text>"; path is then unchanged.
void writeFileReplacing(const std::string& path, const Bytes& bytes);

// The path as the file messages show it: made absolute against the current directory.
std::string fullPathForMessage(const std::string& path);

}  // namespace velmora
