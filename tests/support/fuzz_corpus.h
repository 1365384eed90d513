#pragma once
// The inputs a fuzz target keeps in fuzz/corpus/NAME (starting points, and what the
// fuzzer once found), for the tests that replay them.

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::test {

struct KeptInput {
    std::string name;
    std::string bytes;
};

// Every regular file of fuzz/corpus/<target>, in name order (empty when none).
std::vector<KeptInput> keptFuzzInputs(const std::string& target);

}  // namespace velmora::test
