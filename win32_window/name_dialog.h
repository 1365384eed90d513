#pragma once
// The four name dialogs (browser/name_dialogs.h designs) from in-memory templates,
// scaled by the owner's DPI. Runs modally until request.accept() takes the text or
// the user cancels (the "取消" button or the close box).
#include <windows.h>

#include "browser/browser_view.h"

namespace velmora::win32 {

void runNameDialog(HWND owner, const TextRequest& request);

}  // namespace velmora::win32
