#include "browser/password_form.h"

#include <exception>

#include "browser/texts.h"
#include "store/server/server_connection.h"

namespace velmora {

PasswordForm::PasswordForm(std::string address, std::string problem,
                           std::function<void(const std::string&, bool)> open,
                           std::function<void(const std::string&)> report)
    : address_(std::move(address)), problem_(std::move(problem)), open_(std::move(open)), report_(std::move(report)) {}

std::string PasswordForm::caption() const { return texts().passwordCaption; }

std::string PasswordForm::prompt() const { return fillIn(texts().passwordLabel, {address_}); }

std::string PasswordForm::keepCaption() const { return texts().keepPasswordBox; }

bool PasswordForm::submit(const std::string& password, bool keep) {
    try {
        open_(password, keep);
        opened_ = true;
    } catch (const ServerPasswordError& refused) {
        problem_ = refused.what();
    } catch (const std::exception& error) {
        report_(error.what());
    }
    return opened_;
}

}  // namespace velmora
