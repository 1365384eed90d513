#include "tests/win32_driver/scenario.h"

#include <cstdio>

namespace velmora::driver {

bool runScenario(const ScenarioPaths& paths) {
    (void)paths;
    std::puts("scenario: not written yet");
    return false;
}

}  // namespace velmora::driver
