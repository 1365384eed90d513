#pragma once
// The server addresses used last, offered by the address dialog: newest first, at most
// kRecentServerAddresses, each without its password, kept with the other settings as
// server_address_1 ... (on Linux in the settings file, on Windows under
// HKCU\Software\Velmora).

#include <string>
#include <vector>

#include "platform/settings_store.h"

namespace velmora {

inline constexpr int kRecentServerAddresses = 8;

// The remembered addresses; none when the store cannot be read.
std::vector<std::string> recentServerAddresses(platform::SettingsStore& store);

// Puts address (its password left out) first, dropping its earlier place and the
// oldest beyond the limit; every other setting is kept. Raises the store's Error.
void rememberServerAddress(platform::SettingsStore& store, const std::string& address);

}  // namespace velmora
