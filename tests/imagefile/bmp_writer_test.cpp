#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "base/error.h"
#include "base/system_error.h"
#include "store/imagefile/bmp_reader.h"
#include "store/imagefile/bmp_writer.h"
#include "base/little_endian.h"
#include "store/imagefile/file_access.h"
#include "tests/imagefile/bmp_builder.h"
#include "tests/support/temp_dir.h"

namespace velmora {
namespace {

Bitmap gradient(int width, int height) {
    Bitmap bitmap(width, height, Bitmap::Format::Bgr24);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = bitmap.scanLine(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(x + y);
        }
    }
    return bitmap;
}

TEST(BmpWriter, TwentyFourBitHeaderFieldsAndRowSizes) {
    const Bytes file = encodeBmp(gradient(1024, 768));
    ASSERT_EQ(file.size(), 54u + 3072u * 768u);
    const std::uint8_t* p = file.data();
    EXPECT_EQ(p[0], 'B');
    EXPECT_EQ(p[1], 'M');
    EXPECT_EQ(le::u32(p + 2), file.size());
    EXPECT_EQ(le::u32(p + 6), 0u);  // both reserved words
    EXPECT_EQ(le::u32(p + 10), 54u);
    EXPECT_EQ(le::u32(p + 14), 40u);
    EXPECT_EQ(le::i32(p + 18), 1024);
    EXPECT_EQ(le::i32(p + 22), 768);
    EXPECT_EQ(le::u16(p + 26), 1u);
    EXPECT_EQ(le::u16(p + 28), 24u);
    EXPECT_EQ(le::u32(p + 34), 3072u * 768u);
    for (int offset : {30, 38, 42, 46, 50}) {
        EXPECT_EQ(le::u32(p + offset), 0u) << offset;
    }
    // Bottom row first: the first stored row is y = 767.
    EXPECT_EQ(p[54 + 1], 767 % 256);
}

TEST(BmpWriter, OddWidthsArePaddedWithZeroBytes) {
    const Bytes file = encodeBmp(gradient(101, 10));
    ASSERT_EQ(file.size(), 54u + 304u * 10u);
    for (int row = 0; row < 10; ++row) {
        EXPECT_EQ(file[54 + row * 304 + 303], 0) << row;
    }
    EXPECT_EQ(test::rgbRows(readBmp(file)), test::rgbRows(gradient(101, 10)));
}

TEST(BmpWriter, EightBitBitmapsCarryTheirPaletteAsTheColourTable) {
    Bitmap gray(3, 2, Bitmap::Format::Indexed8);
    std::vector<PaletteEntry> palette;
    for (int level = 0; level < 236; ++level) {
        const auto v = static_cast<std::uint8_t>(level * 255 / 235);
        palette.push_back({v, v, v});
    }
    gray.setPalette(palette);
    gray.scanLine(0)[2] = 235;
    gray.scanLine(1)[0] = 100;
    const Bytes file = encodeBmp(gray);
    const std::uint32_t tableBytes = 4 * 236;
    EXPECT_EQ(le::u16(file.data() + 28), 8u);
    EXPECT_EQ(le::u32(file.data() + 46), 236u);
    EXPECT_EQ(le::u32(file.data() + 10), 54u + tableBytes);
    EXPECT_EQ(file.size(), 54u + tableBytes + 4u * 2u);
    EXPECT_EQ(le::u32(file.data() + 54 + 4 * 235), 0x00FFFFFFu);  // blue, green, red, 0
    EXPECT_EQ(test::rgbRows(readBmp(file)), test::rgbRows(gray.toBgr24()));
}

class BmpFileTest : public ::testing::Test {
protected:
    std::string createError(const std::string& path) {
        try {
            writeBmpFile(gradient(4, 4), path);
        } catch (const Error& error) {
            return error.what();
        }
        return "no error";
    }
    test::TempDir dir;
};

TEST_F(BmpFileTest, ReplacesAnExistingFileAndLeavesNothingElse) {
    const std::string path = dir.file("wall.bmp");
    test::writeFile(path, std::string(100000, 'x'));
    writeBmpFile(gradient(2, 2), path);
    EXPECT_EQ(std::filesystem::file_size(path), 54u + 8u * 2u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(BmpFileTest, FailuresNameTheFullPathAndTheSystemText) {
    // The path as the system expands it, the system's own text for the code.
    EXPECT_EQ(createError(dir.file("missing/wall.bmp")),
              cannotCreateFileMessage(fullPathForMessage(dir.file("missing/wall.bmp")), kErrorPathNotFound));
    std::filesystem::create_directory(dir.file("folder.bmp"));
    EXPECT_EQ(createError(dir.file("folder.bmp")),
              cannotCreateFileMessage(fullPathForMessage(dir.file("folder.bmp")), kErrorAccessDenied));
}

TEST_F(BmpFileTest, AReadOnlyFileIsNeitherReplacedNorChanged) {
#ifndef _WIN32
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes read-only files";
    }
#endif
    const std::string path = dir.file("locked.bmp");
    test::writeFile(path, "old");
    // On Windows this sets the read-only attribute.
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    EXPECT_EQ(createError(path), cannotCreateFileMessage(path, kErrorAccessDenied));
    EXPECT_EQ(test::readFile(path), "old");
}

}  // namespace
}  // namespace velmora
