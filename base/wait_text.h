#pragma once
// How long something was waited for, as messages say it: "30 s", "250 ms".

#include <chrono>
#include <string>

namespace velmora {

inline std::string waitText(std::chrono::milliseconds wait) {
    return wait.count() % 1000 == 0 ? std::to_string(wait.count() / 1000) + " s"
                                    : std::to_string(wait.count()) + " ms";
}

}  // namespace velmora
