#pragma once
// Where the program's own data files (share/velmora) are.

#include <string>

namespace velmora {

// The data folder beside the running program (bin/../share/velmora), so that an
// unpacked or moved install, and the build tree, use their own; else the folder the
// program was configured to be installed with.
std::string dataFolder();

// The empty collection copied for a first start: dataFolder() + "/empty-collection.vlm".
std::string emptyCollectionPath();

}  // namespace velmora
