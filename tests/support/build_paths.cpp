#include "tests/support/build_paths.h"

namespace velmora::test {

std::string sourceDir() { return VELMORA_SOURCE_DIR; }
std::string testDataDir() { return sourceDir() + "/tests/data"; }
std::string binaryDir() { return VELMORA_BINARY_DIR; }

std::string velmoraProgram() {
#ifdef VELMORA_PROGRAM
    return VELMORA_PROGRAM;
#else
    return {};
#endif
}

}  // namespace velmora::test
