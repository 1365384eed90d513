#pragma once
// The browser's message boxes as Qt shows them, centred on the screen.

#include <string>

#include "browser/browser_view.h"

namespace velmora {

// Application title, the kind's icon (none, stop, warning) and one "OK" that Enter
// and Esc both press; details: the long form behind a button.
void showMessageBox(MessageKind kind, const std::string& text, const std::string& details);

// "Confirm", question icon, "OK" (default) and "Cancel"; Esc and the close box answer
// Cancel. True only for "OK".
bool showConfirmBox(const std::string& question);

}  // namespace velmora
