// Every input the JPEG fuzzer kept (crashes it found, slow inputs, starting points)
// goes through the fuzz target's own code path again.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

// The fuzz target itself: its LLVMFuzzerTestOneInput is called below.
#include "fuzz/fuzz_jpeg.cpp"

namespace velmora {
namespace {

std::filesystem::path corpusDir() {
    // From the absolute source path CMake gives: __FILE__ may be relative to the build
    // folder (ccache rewrites paths below its base folder).
    return std::filesystem::path(VELMORA_TEST_DATA_DIR).parent_path().parent_path() / "fuzz" / "corpus" / "jpeg";
}

TEST(JpegFuzzCorpus, EveryKeptInputReadsAndDecodesSafely) {
    ASSERT_TRUE(std::filesystem::is_directory(corpusDir())) << corpusDir();
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpusDir())) {
        if (!entry.is_regular_file()) {
            continue;
        }
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

}  // namespace
}  // namespace velmora
