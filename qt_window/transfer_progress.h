#pragma once
// A transfer from another program run off the window's thread, which goes on handling
// its events meanwhile, so the window keeps painting.

#include <functional>

#include "platform/clipboard_x11.h"

namespace velmora {

// Runs work on a thread of its own and returns once it has returned, raising what it
// raised. User input waits at first (nothing else may start meanwhile); when the work
// takes longer than a moment, a progress window, modal over the active window, shows
// the bytes progress has received and offers Cancel, which asks progress to cancel.
void runTransfer(const std::function<void()>& work, platform::SelectionProgress& progress);

}  // namespace velmora
