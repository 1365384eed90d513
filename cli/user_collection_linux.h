#pragma once
// The per-user collection that a start from the desktop's menu works in:
// $XDG_DATA_HOME/velmora/pictures.vlm, first made as a copy of the empty collection
// that comes with the program.

#include <string>

namespace velmora {

// $XDG_DATA_HOME/velmora (default ~/.local/share/velmora).
std::string userCollectionFolder();

// Creates folder when missing and makes it the current directory; when it holds no
// pictures.vlm yet, places a copy of templatePath there, whole or not at all. An
// existing pictures.vlm is never replaced. Throws Error with a message for the user
// when a step fails; the steps before it stay done.
void enterUserCollection(const std::string& folder, const std::string& templatePath);

}  // namespace velmora
