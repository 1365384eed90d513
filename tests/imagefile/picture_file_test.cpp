#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "base/error.h"
#include "base/system_error.h"
#include "store/imagefile/bmp_writer.h"
#include "store/imagefile/picture_file.h"
#include "tests/imagefile/bmp_builder.h"
#include "tests/support/byte_text.h"
#include "tests/support/temp_dir.h"
#include "tools/synthetic_picture.h"

namespace velmora {
namespace {

using test::asString;

// An icon directory with one 32-bit 1 x 1 image.
std::string iconFile() {
    Bytes icon = {0, 0, 1, 0, 1, 0,                    // reserved, type icon, one entry
                  1, 1, 0, 0, 1, 0, 32, 0, 48, 0, 0, 0, 22, 0, 0, 0};  // 48 bytes at 22
    Bytes dib(48, 0);
    dib[0] = 40;
    icon.insert(icon.end(), dib.begin(), dib.end());
    return asString(icon);
}

class PictureFileTest : public ::testing::Test {
protected:
    std::string put(const std::string& name, const std::string& bytes) {
        const std::string path = dir.file(name);
        test::writeFile(path, bytes);
        return path;
    }
    static std::string loadError(const std::string& path) {
        try {
            loadPictureFile(path);
        } catch (const Error& error) {
            return error.what();
        }
        return "no error";
    }
    test::TempDir dir;
    const std::string jpeg = asString(tools::syntheticJpeg(32, 24));
};

TEST_F(PictureFileTest, TheExtensionChoosesTheGraphicWithoutRegardToCase) {
    EXPECT_EQ(pictureFileExtension("/photos.2024/PHOTO.JPG"), "JPG");
    EXPECT_EQ(pictureFileExtension("/photos.2024/photo"), "");
    EXPECT_EQ(pictureFileExtension("archive.tar.Bmp"), "Bmp");
    EXPECT_EQ(graphicKindForExtension("JpEg"), PictureContainer::Kind::Picture);
    EXPECT_EQ(graphicKindForExtension("ICO"), PictureContainer::Kind::Icon);
    EXPECT_EQ(graphicKindForExtension("jpg "), std::nullopt);

    const Bytes data = *loadPictureFile(put("PHOTO.JPG", jpeg)).jpegData();
    EXPECT_EQ(asString(data), jpeg);
    EXPECT_EQ(loadError(put("photo.GiF", jpeg)), "Unknown picture file extension (.GiF)");
    EXPECT_EQ(loadError(put("photo", jpeg)), "Unknown picture file extension (.)");
}

TEST_F(PictureFileTest, AJpegFileIsKeptByteForByte) {
    const std::string withTrailer = jpeg + "trailing bytes after the end-of-image marker";
    JpegPicture picture = loadPictureFile(put("a.jpeg", withTrailer));
    EXPECT_FALSE(picture.hasBitmap());
    EXPECT_EQ(picture.width(), 32);
    EXPECT_EQ(asString(*picture.jpegData()), withTrailer);
}

TEST_F(PictureFileTest, ContentThatIsNoJpegStreamFailsWithTheDecoderError) {
    const std::string png = "\x89PNG\r\n\x1a\n" + std::string("\0\0\0\rIHDR\0\0\0\1\0\0\0\1\x08\x02\0\0\0", 21);
    EXPECT_EQ(loadError(put("picture.jpg", png)), "JPEG error #53");
    // Cut among the tables, before the frame header and the first scan. (A cut between
    // the frame header and the scan is libjpeg's "missing SOS marker", 59.)
    const std::size_t frame = jpeg.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    EXPECT_EQ(loadError(put("cut.jpg", jpeg.substr(0, frame))), "JPEG error #51");
    // Valid icons and metafiles are recognised, discarded and then read as JPEG data.
    EXPECT_EQ(loadError(put("valid.ico", iconFile())), "JPEG error #53");
    const std::string wmf("\1\0\x09\0\0\x03\x0c\0\0\0\0\0\x03\0\0\0\0\0\x03\0\0\0\0\0", 24);
    EXPECT_EQ(loadError(put("valid.wmf", wmf)), "JPEG error #53");
    std::string emf(88, '\0');
    emf[0] = 1;
    emf[4] = 88;
    emf.replace(40, 4, " EMF");
    EXPECT_EQ(loadError(put("valid.emf", emf)), "JPEG error #53");
}

TEST_F(PictureFileTest, DamagedIconsMetafilesAndBitmapsFailWithTheirOwnMessages) {
    const std::string icon = iconFile();
    EXPECT_EQ(loadError(put("cut.ico", icon.substr(0, 40))), "Icon image is not valid");
    EXPECT_EQ(loadError(put("cursor.ico", icon.substr(0, 2) + "\2" + icon.substr(3))), "Icon image is not valid");
    EXPECT_EQ(loadError(put("text.wmf", "just some text, no metafile")), "Metafile is not valid");
    EXPECT_EQ(loadError(put("short.bmp", "BM12345678")), "Stream read error");
    EXPECT_EQ(loadError(put("png.bmp", "\x89PNG\r\n\x1a\n000000000000000000000000000000000000000000")),
              "Bitmap image is not valid");
}

TEST_F(PictureFileTest, ABmpFileIsHeldAsABitmapAndEncodedAsBaselineJfif) {
    const Bitmap bitmap = tools::syntheticBitmap(40, 30);
    const std::string path = dir.file("picture.BMP");
    writeBmpFile(bitmap, path);
    JpegPicture picture = loadPictureFile(path);
    ASSERT_TRUE(picture.hasBitmap());
    EXPECT_FALSE(picture.hasData());
    EXPECT_EQ(picture.bitmap(), bitmap);

    const Bytes data = *picture.jpegData();
    ASSERT_GT(data.size(), 4u);
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 4), (Bytes{0xFF, 0xD8, 0xFF, 0xE0}));
    const std::string stream = asString(data);
    // Baseline frame: luminance sampled 2 x 2, both chrominance components 1 x 1.
    const std::size_t frame = stream.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    EXPECT_EQ(stream.substr(frame + 10, 9), std::string("\x01\x22\x00\x02\x11\x01\x03\x11\x01", 9));
    // Quality 90: the first luminance quantizer 16 scaled to 20 %, rounded.
    const std::size_t tables = stream.find("\xFF\xDB");
    ASSERT_NE(tables, std::string::npos);
    EXPECT_EQ(data[tables + 5], 3);
}

TEST_F(PictureFileTest, AnEmptyBmpFileGivesAPictureOfNoBytes) {
    JpegPicture picture = loadPictureFile(put("empty.bmp", ""));
    EXPECT_TRUE(picture.hasData());
    EXPECT_EQ(picture.jpegData()->size(), 0u);
}

TEST_F(PictureFileTest, FilesThatCannotBeOpenedNameTheirFullPath) {
    const std::string missing = dir.file("missing.jpg");
    EXPECT_EQ(loadError(missing), cannotOpenFileMessage(missing, kErrorFileNotFound));
    std::filesystem::create_directory(dir.file("folder.jpg"));
    EXPECT_EQ(loadError(dir.file("folder.jpg")), cannotOpenFileMessage(dir.file("folder.jpg"), kErrorAccessDenied));
#ifndef _WIN32
    // A named pipe is refused at once instead of waiting for a writer.
    ASSERT_EQ(::mkfifo(dir.file("pipe.bmp").c_str(), 0600), 0);
    EXPECT_EQ(loadError(dir.file("pipe.bmp")),
              "Cannot open file \"" + dir.file("pipe.bmp") + "\". Access is denied");
#endif

    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const std::string relative = loadError("missing.bmp");
    std::filesystem::current_path(previous);
    EXPECT_EQ(relative, cannotOpenFileMessage(dir.file("missing.bmp"), kErrorFileNotFound));
}

}  // namespace
}  // namespace velmora
