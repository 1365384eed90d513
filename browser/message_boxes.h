#pragma once
// The three kinds of message box every command uses.

#include <string>
#include <vector>

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

// A file of a several-file add that was not added, and why.
struct NotAddedFile {
    std::string file;  // the file's name
    std::string error;
};

// The summary at the end of a several-file add: application title, warning icon, one
// "OK", listing each file with its error text (a long list in full under details).
void showNotAddedFiles(const std::vector<NotAddedFile>& files);

}  // namespace velmora
