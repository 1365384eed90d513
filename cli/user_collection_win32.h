#pragma once
// The per-user collection a start from the Start menu works in:
// %APPDATA%\Velmora\pictures.vlm, made as an empty collection the first time.

#include <string>

namespace velmora::win32 {

// %APPDATA%\Velmora (the roaming application data folder).
std::string userCollectionFolder();

// Creates folder when missing and makes it the current folder; when it holds no
// pictures.vlm yet, creates an empty collection there, whole or not at all. An existing
// pictures.vlm is never replaced. Throws Error naming the step that failed.
void enterUserCollection(const std::string& folder);

}  // namespace velmora::win32
