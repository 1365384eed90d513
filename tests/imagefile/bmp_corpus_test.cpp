#include <gtest/gtest.h>

#include "base/error.h"
#include "store/imagefile/bmp_reader.h"
#include "tests/support/fuzz_corpus.h"

namespace velmora {
namespace {

// Every input the BMP fuzzer kept, crashes it once found among them, read again: each
// gives a bitmap or one of the reader's errors.
TEST(BmpFuzzCorpus, EveryKeptInputReadsOrFailsCleanly) {
    const auto inputs = test::keptFuzzInputs("bmp");
    for (const auto& input : inputs) {
        try {
            readBmp(Bytes(input.bytes.begin(), input.bytes.end()));
        } catch (const Error&) {
        }
    }
    EXPECT_GT(inputs.size(), 0u);
}

}  // namespace
}  // namespace velmora
