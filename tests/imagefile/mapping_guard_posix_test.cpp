// A file shortened by another program while it is mapped: reading the vanished pages
// neither ends the program nor passes the zeros off as the file's bytes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "store/imagefile/file_access.h"
#include "tests/support/temp_dir.h"

namespace velmora {
namespace {

TEST(MappingGuard, AFileShortenedWhileMappedReadsAsDamagedNotAsACrash) {
    test::TempDir dir;
    const std::string path = dir.file("shrinking.bin");
    const std::string bytes(1024 * 1024, 'x');
    test::writeFile(path, bytes);
    InputFile file(path);
    const MappedFile mapped(file);
    ASSERT_NE(mapped.data(), nullptr);
    EXPECT_TRUE(mapped.intact());
    ASSERT_EQ(::truncate(path.c_str(), 4096), 0);  // what another program may do meanwhile

    unsigned sum = 0;
    for (std::size_t i = 0; i < mapped.size(); i += 512) sum += mapped.data()[i];
    EXPECT_EQ(sum, 8u * 'x');  // the first page as it was, then zeros
    EXPECT_FALSE(mapped.intact());

    // A fault outside every mapping still ends the program as before.
    EXPECT_DEATH(
        {
            const std::string other = dir.file("other.bin");
            test::writeFile(other, std::string(65536, 'y'));
            const int fd = ::open(other.c_str(), O_RDONLY);
            auto* raw = static_cast<const volatile char*>(::mmap(nullptr, 65536, PROT_READ, MAP_SHARED, fd, 0));
            ::ftruncate(::open(other.c_str(), O_RDWR), 0);
            (void)raw[40000];
        },
        "");
}

}  // namespace
}  // namespace velmora
