#pragma once
// The calls made on the recording fakes, in order, as one readable line each. The
// fakes of one test share a log, so the order across registry, files, desktop and
// windows can be checked as a whole.

#include <string>
#include <vector>

namespace velmora::platform {

struct CallLog {
    std::vector<std::string> calls;

    void add(std::string call) { calls.push_back(std::move(call)); }
    void clear() { calls.clear(); }
};

}  // namespace velmora::platform
