#pragma once
// The progress window of a long command: a bar, the step's label and a cancel button,
// shown over owner until the returned object goes; it keeps the window responsive by
// dispatching messages in advance().
#include <windows.h>

#include <memory>

#include "browser/browser_view.h"

namespace velmora::win32 {

std::unique_ptr<Progress> startProgressWindow(HWND owner, int total);

}  // namespace velmora::win32
