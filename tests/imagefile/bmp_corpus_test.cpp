#include <gtest/gtest.h>

#include <filesystem>

#include "base/error.h"
#include "store/imagefile/bmp_reader.h"
#include "tests/support/temp_dir.h"

namespace velmora {
namespace {

// Every input the BMP fuzzer kept, crashes it once found among them, read again: each
// gives a bitmap or one of the reader's errors.
TEST(BmpFuzzCorpus, EveryKeptInputReadsOrFailsCleanly) {
    const auto corpus = std::filesystem::path(VELMORA_TEST_DATA_DIR).parent_path().parent_path() / "fuzz/corpus/bmp";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const std::string bytes = test::readFile(entry.path().string());
        try {
            readBmp(Bytes(bytes.begin(), bytes.end()));
        } catch (const Error&) {
        }
        ++files;
    }
    EXPECT_GT(files, 0) << corpus;
}

}  // namespace
}  // namespace velmora
