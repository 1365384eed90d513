#pragma once
// Creating a folder together with every missing folder above it.

#include <string>

#include "platform/files.h"

namespace velmora {

// Creates folder and its missing ancestors, outermost first; the walk upwards stops
// at a path shorter than three characters ("C:") or at a folder that exists, and
// a folder is created only after the one above it exists. Returns whether folder
// exists afterwards; failures are left to the caller's next file call to show.
bool createFolderChain(platform::Files& files, const std::string& folder);

}  // namespace velmora
