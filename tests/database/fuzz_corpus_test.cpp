// Every whole-file input the database fuzzer kept (real collection files it started
// from, and what it found) goes through the fuzz target's own code path again:
// opened, walked, filtered, one record deleted and one posted, without a crash.

#include <gtest/gtest.h>

#include "tests/support/fuzz_corpus.h"

// The fuzz target itself: its LLVMFuzzerTestOneInput is called below.
#include "fuzz/fuzz_database.cpp"

namespace velmora {
namespace {

TEST(DatabaseFuzzCorpus, EveryKeptFileOpensWalksAndChangesSafely) {
    const auto inputs = test::keptFuzzInputs("database");
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.name);
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.bytes.data()), input.bytes.size()),
                  0);
    }
    EXPECT_GE(inputs.size(), 10u);
}

}  // namespace
}  // namespace velmora
