#include "store/server/kept_server_password.h"

#include <mutex>

namespace velmora {
namespace {

std::mutex keptPasswordLock;
KeptServerPassword& keptPasswordSource() {
    static KeptServerPassword kept;
    return kept;
}

}  // namespace

void setKeptServerPassword(KeptServerPassword given) {
    std::lock_guard<std::mutex> held(keptPasswordLock);
    keptPasswordSource() = std::move(given);
}

std::optional<std::string> keptServerPassword(const std::string& shownAddress) {
    KeptServerPassword current;
    {
        std::lock_guard<std::mutex> held(keptPasswordLock);
        current = keptPasswordSource();
    }
    return current ? current(shownAddress) : std::nullopt;
}

}  // namespace velmora
