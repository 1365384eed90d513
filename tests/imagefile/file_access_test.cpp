// The file layer under the picture readers: a mapped file shows exactly the file's
// bytes, and a file that cannot be mapped is read through the open file instead.
#include <gtest/gtest.h>

#include <string>

#include "store/imagefile/file_access.h"
#include "tests/support/temp_dir.h"

namespace velmora {
namespace {

TEST(MappedFile, ShowsEveryByteOfTheFileAndNothingForAnEmptyOne) {
    test::TempDir dir;
    std::string bytes(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 4096);
    test::writeFile(dir.file("large.bin"), bytes);
    test::writeFile(dir.file("empty.bin"), "");

    InputFile large(dir.file("large.bin"));
    {
        const MappedFile mapped(large);
        ASSERT_NE(mapped.data(), nullptr);
        ASSERT_EQ(mapped.size(), bytes.size());
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(mapped.data()), mapped.size()), bytes);
    }
    // The open file still reads after the mapping is gone.
    std::uint8_t tail[32] = {};
    EXPECT_EQ(large.readAt(bytes.size() - 17, tail, sizeof tail), 17u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(tail), 17), bytes.substr(bytes.size() - 17));

    InputFile empty(dir.file("empty.bin"));
    const MappedFile none(empty);
    EXPECT_EQ(none.data(), nullptr);
    EXPECT_EQ(none.size(), 0u);
}

}  // namespace
}  // namespace velmora
