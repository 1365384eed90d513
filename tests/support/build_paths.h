#pragma once
// Where the source tree, the tests' data and the build tree are. Kept out of the
// compile commands of the test files themselves, so that a compiler cache finds their
// objects again from a clone in another folder.

#include <string>

namespace velmora::test {

std::string sourceDir();
std::string testDataDir();
std::string binaryDir();
// The built velmora program (empty where the window is not built).
std::string velmoraProgram();

}  // namespace velmora::test
