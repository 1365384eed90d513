#pragma once
// The trash dialog (回收站): trashed pictures newest first with name, date and size,
// the space they hold, and restore / delete forever / empty / close, as the Qt
// window's (qt_window/trash_dialog.*). Modal until closed.
#include <windows.h>

#include "browser/browser_view.h"

namespace velmora::win32 {

void runTrashDialog(HWND owner, const TrashRequest& request);

}  // namespace velmora::win32
