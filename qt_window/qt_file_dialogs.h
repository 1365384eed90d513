#pragma once
// The browser's file dialogs as Qt's own (non-native) file dialog.

#include <string>
#include <vector>

#include "browser/browser_view.h"

class QWidget;

namespace velmora {

// Shows a dialog set up from settings; the chosen full paths, empty when cancelled.
// Updates settings.filterIndex, and moves the process's current directory to the
// chosen file's folder, as the system dialogs do. With several files every name
// typed is returned, also one the selected filter does not list.
std::vector<std::string> runFileDialog(QWidget* parent, FileDialogKind kind, FileDialogSettings& settings);

}  // namespace velmora
