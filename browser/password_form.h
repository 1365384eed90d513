#pragma once
// The password dialog's state, for every window: its caption, the prompt naming the
// server address (never with a password), the server's message for the password tried
// last, the keep box, and what "确定" does. The window masks the password box, starts
// the keep box unchecked, and shows problem() again whenever submit() returns false.

#include <functional>
#include <string>

namespace velmora {

class PasswordForm {
public:
    // open: opens the collection with password (and keeps it when keep is set); raises
    // ServerPasswordError when the server refuses the password, Error otherwise.
    // report: shows an error that is not the password's, as the core reports errors.
    PasswordForm(std::string address, std::string problem,
                 std::function<void(const std::string& password, bool keep)> open,
                 std::function<void(const std::string& message)> report);

    std::string caption() const;
    std::string prompt() const;
    std::string keepCaption() const;
    // Why a password is asked for: the server's message for the last one refused.
    const std::string& problem() const { return problem_; }

    // "确定": true when the collection is open and the dialog may close. A refused
    // password keeps it open with the server's message in problem(); any other failure
    // is reported and keeps it open too. Never raises.
    bool submit(const std::string& password, bool keep);
    bool opened() const { return opened_; }

private:
    std::string address_;
    std::string problem_;
    std::function<void(const std::string&, bool)> open_;
    std::function<void(const std::string&)> report_;
    bool opened_ = false;
};

}  // namespace velmora
