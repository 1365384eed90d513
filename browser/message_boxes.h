#pragma once
// The three kinds of message box every command uses.

#include <string>

class QWidget;

namespace velmora {

// A command's own condition: application title, no icon, one "OK" (Enter and Esc
// close it), centred on the screen.
void showCondition(const std::string& text);

// A destructive step's question: "Confirm", question icon, "OK" (default) and
// "Cancel"; Esc and the close box answer Cancel. True only for "OK".
bool confirm(const std::string& text);

// The application's default error handler: stop icon, application title, and a full
// stop appended when the message's last character sorts above ".".
void showError(const std::string& message);

}  // namespace velmora
