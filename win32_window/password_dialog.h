#pragma once
// The password dialog of a server collection, bound to the core's PasswordForm, from an
// in-memory template: the prompt, the server's message for the password tried last, a
// masked (ES_PASSWORD) edit box, the keep box (unchecked), "确定" (IDOK, Enter) and
// "取消" (IDCANCEL, Esc). Runs modally until the form opens the collection or the user
// cancels.
#include <windows.h>

#include "browser/password_form.h"

namespace velmora::win32 {

void runPasswordDialog(HWND owner, PasswordForm& form);

}  // namespace velmora::win32
