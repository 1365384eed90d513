#pragma once
// The X clipboard owner of the clipboard tests (programs/clipboard_owner.cpp), started
// on a display and waited for until it owns the clipboard.

#include <memory>
#include <string>

#include "tests/support/child_process.h"

namespace velmora::test {

// mode: "honest" (sends 300000 bytes, byte i = i % 251), "huge", "endless" or "stall".
// display: empty for the one in $DISPLAY.
std::unique_ptr<ChildProcess> startClipboardOwner(const std::string& mode, const std::string& display = "");

}  // namespace velmora::test
