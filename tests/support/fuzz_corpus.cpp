#include "tests/support/build_paths.h"
#include "tests/support/fuzz_corpus.h"

#include <algorithm>

#include "tests/support/temp_dir.h"

namespace velmora::test {

std::vector<KeptInput> keptFuzzInputs(const std::string& target) {
    const auto corpus = std::filesystem::path(sourceDir()) / "fuzz" / "corpus" / target;
    std::vector<KeptInput> inputs;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(corpus, error)) {
        if (entry.is_regular_file()) inputs.push_back({entry.path().filename().string(), readFile(entry.path().string())});
    }
    std::sort(inputs.begin(), inputs.end(), [](const KeptInput& a, const KeptInput& b) { return a.name < b.name; });
    return inputs;
}

}  // namespace velmora::test
