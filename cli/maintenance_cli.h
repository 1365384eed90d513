#pragma once
// velmora --check and --backup: run without a window, in the Linux program and in
// velmora.exe alike.

#include <iosfwd>

#include "cli/command_options.h"

namespace velmora {

namespace platform {
class Keyring;
}

// Runs the option: the check's report or the backup's message to out, failures to err.
// Returns the exit status: 0 sound / copied, 1 problems found / not copied, 2 wrong usage.
// A server collection's password may come from keyring (null: the system's; keyring_login.h).
int runMaintenance(const MaintenanceOptions& options, std::ostream& out, std::ostream& err,
                   platform::Keyring* keyring = nullptr);

}  // namespace velmora
