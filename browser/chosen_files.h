#pragma once
// After a file dialog, for every window: the folder of the first chosen file becomes
// the current directory, as the system dialogs do without the option that keeps it.

#include <string>
#include <vector>

namespace velmora {

// Nothing when chosen is empty or the folder cannot be entered.
void enterFolderOfChosen(const std::vector<std::string>& chosen);

}  // namespace velmora
