// Every input the JPEG fuzzer kept (crashes it found, slow inputs, starting points)
// goes through the fuzz target's own code path again.

#include <gtest/gtest.h>

#include "tests/support/fuzz_corpus.h"

// The fuzz target itself: its LLVMFuzzerTestOneInput is called below.
#include "fuzz/fuzz_jpeg.cpp"

namespace velmora {
namespace {

TEST(JpegFuzzCorpus, EveryKeptInputReadsAndDecodesSafely) {
    const auto inputs = test::keptFuzzInputs("jpeg");
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.name);
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.bytes.data()), input.bytes.size()),
                  0);
    }
    EXPECT_GT(inputs.size(), 0u);
}

}  // namespace
}  // namespace velmora
