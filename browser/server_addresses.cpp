#include "browser/server_addresses.h"

#include <algorithm>
#include <exception>

#include "store/database/server_address.h"

namespace velmora {
namespace {

std::string settingName(int place) { return "server_address_" + std::to_string(place + 1); }

std::vector<std::string> addressesIn(const platform::SettingValues& values) {
    std::vector<std::string> addresses;
    for (int place = 0; place < kRecentServerAddresses; ++place) {
        auto found = values.find(settingName(place));
        if (found != values.end() && !found->second.empty()) addresses.push_back(found->second);
    }
    return addresses;
}

}  // namespace

std::vector<std::string> recentServerAddresses(platform::SettingsStore& store) {
    try {
        return addressesIn(store.load());
    } catch (const std::exception&) {
        // A damaged store is reported by whatever writes it next.
        return {};
    }
}

void rememberServerAddress(platform::SettingsStore& store, const std::string& address) {
    const std::string shown = addressWithoutPassword(address);
    // A line break would end the setting's line in the settings file.
    if (std::any_of(shown.begin(), shown.end(), [](char c) { return c == '\n' || c == '\r' || c == '\0'; })) return;
    platform::SettingValues values = store.load();
    std::vector<std::string> addresses = addressesIn(values);
    std::erase(addresses, shown);
    addresses.insert(addresses.begin(), shown);
    for (int place = 0; place < kRecentServerAddresses; ++place) {
        if (place < static_cast<int>(addresses.size())) {
            values[settingName(place)] = addresses[place];
        } else {
            values.erase(settingName(place));
        }
    }
    store.save(values);
}

}  // namespace velmora
