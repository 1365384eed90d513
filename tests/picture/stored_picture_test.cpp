// Reading stored values and JPEG files, saving them again, and what copies share.

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "base/system_error.h"
#include "base/error.h"
#ifdef _WIN32
#include "base/file_replace.h"
#endif
#include "store/picture/jpeg_picture.h"
#include "tests/picture/jpeg_samples.h"
#include "tests/support/temp_dir.h"
#include "tools/synthetic_picture.h"

namespace velmora {
namespace {

Bytes withGraphicHeader(const Bytes& stream, std::uint32_t length) {
    Bytes value = {0x01, 0x00, 0x00, 0x01, static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                   static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 24)};
    value.insert(value.end(), stream.begin(), stream.end());
    return value;
}

int decoderErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const JpegError& error) {
        EXPECT_EQ(error.what(), "JPEG error #" + std::to_string(error.code()));
        return error.code();
    }
    return 0;
}

Bytes cut(const Bytes& stream, std::size_t size) {
    return Bytes(stream.begin(), stream.begin() + static_cast<long>(size));
}

const Bytes& sampleJpeg() {
    static const Bytes jpeg = tools::syntheticJpeg(64, 48, 3);
    return jpeg;
}

TEST(ReadStoredPicture, ParsesHeadersWithoutDecoding) {
    JpegPicture picture;
    picture.readStored(shareBytes(sampleJpeg()));
    EXPECT_TRUE(picture.hasData());
    EXPECT_FALSE(picture.hasBitmap());
    EXPECT_FALSE(picture.empty());
    EXPECT_EQ(picture.width(), 64);
    EXPECT_EQ(picture.height(), 48);
    EXPECT_FALSE(picture.grayscale());
    EXPECT_FALSE(picture.progressive());
    EXPECT_FALSE(picture.hasBitmap());
}

TEST(ReadStoredPicture, SharesTheValueWithoutCopying) {
    const SharedBytes value = shareBytes(sampleJpeg());
    JpegPicture picture;
    picture.readStored(value);
    EXPECT_EQ(picture.jpegData(), value);
}

TEST(ReadStoredPicture, SkipsAValidGraphicHeader) {
    const Bytes value = withGraphicHeader(sampleJpeg(), static_cast<std::uint32_t>(sampleJpeg().size()));
    JpegPicture picture;
    picture.readStored(shareBytes(value));
    EXPECT_EQ(*picture.jpegData(), sampleJpeg());
    EXPECT_EQ(picture.width(), 64);
}

TEST(ReadStoredPicture, GraphicHeaderWithWrongLengthIsReadFromByteZero) {
    for (const std::uint32_t length : {static_cast<std::uint32_t>(sampleJpeg().size() + 1),
                                       static_cast<std::uint32_t>(sampleJpeg().size() - 1), 0u}) {
        JpegPicture picture;
        const Bytes value = withGraphicHeader(sampleJpeg(), length);
        EXPECT_EQ(decoderErrorOf([&] { picture.readStored(shareBytes(value)); }), 53);
        // The data stays replaced by the whole value.
        EXPECT_EQ(*picture.jpegData(), value);
    }
}

TEST(ReadStoredPicture, AFileIsNeverReadThroughTheGraphicHeaderRule) {
    const Bytes value = withGraphicHeader(sampleJpeg(), static_cast<std::uint32_t>(sampleJpeg().size()));
    JpegPicture picture;
    EXPECT_EQ(decoderErrorOf([&] { picture.loadData(shareBytes(value)); }), 53);
}

TEST(ReadStoredPicture, ZeroBytesLoadAndFailOnceAtTheFirstDraw) {
    JpegPicture picture;
    picture.readStored(shareBytes({}));
    EXPECT_TRUE(picture.hasData());
    EXPECT_FALSE(picture.empty());
    EXPECT_EQ(picture.width(), 0);
    EXPECT_EQ(decoderErrorOf([&] { picture.bitmap(); }), 42);
    EXPECT_TRUE(picture.decodeFailed());
    EXPECT_EQ(decoderErrorOf([&] { picture.bitmap(); }), 0);
    EXPECT_TRUE(picture.bitmap().empty());
}

TEST(ReadStoredPicture, ANullValueIsZeroBytes) {
    JpegPicture picture;
    picture.readStored(nullptr);
    ASSERT_TRUE(picture.hasData());
    EXPECT_TRUE(picture.jpegData()->empty());
}

TEST(ReadStoredPicture, BytesThatAreNotJpegFailWith53) {
    const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D, 'I', 'H', 'D', 'R'};
    JpegPicture picture;
    EXPECT_EQ(decoderErrorOf([&] { picture.readStored(shareBytes(png)); }), 53);
    EXPECT_EQ(decoderErrorOf([&] { picture.readStored(shareBytes({0xFF})); }), 53);
}

TEST(ReadStoredPicture, AStreamEndingBeforeItsFirstScanFailsWith51) {
    const Bytes& jpeg = sampleJpeg();
    const std::size_t frame = test::markerOffset(jpeg, 0xC0);
    for (const std::size_t size : {std::size_t{2}, test::markerOffset(jpeg, 0xDB), frame}) {
        JpegPicture picture;
        EXPECT_EQ(decoderErrorOf([&] { picture.readStored(shareBytes(cut(jpeg, size))); }), 51) << size;
    }
    // With its frame header but no scan header, libjpeg reports the missing scan.
    JpegPicture picture;
    EXPECT_EQ(decoderErrorOf([&] { picture.readStored(shareBytes(cut(jpeg, test::startOfScan(jpeg)))); }), 59);
}

TEST(ReadStoredPicture, AStreamCutInsideItsScanDecodesAtFullSize) {
    const Bytes jpeg = tools::syntheticJpeg(64, 48, 1);
    const std::size_t scan = test::startOfScan(jpeg);
    JpegPicture picture;
    picture.readStored(shareBytes(cut(jpeg, scan + (jpeg.size() - scan) / 3)));
    const Bitmap& bitmap = picture.bitmap();
    EXPECT_EQ(bitmap.width(), 64);
    EXPECT_EQ(bitmap.height(), 48);
    EXPECT_FALSE(picture.decodeFailed());
}

TEST(ReadStoredPicture, AFatalErrorAfterTheScanKeepsTheDecodedPicture) {
    // A second frame header where the end-of-image marker belongs.
    Bytes jpeg = sampleJpeg();
    ASSERT_EQ(jpeg[jpeg.size() - 2], 0xFF);
    jpeg.resize(jpeg.size() - 2);
    const std::vector<test::Segment> segments = test::segmentsUpToScan(sampleJpeg());
    for (const test::Segment& segment : segments) {
        if (segment.marker == 0xC0) {
            jpeg.insert(jpeg.end(), {0xFF, 0xC0, 0, static_cast<std::uint8_t>(segment.payload.size() + 2)});
            jpeg.insert(jpeg.end(), segment.payload.begin(), segment.payload.end());
        }
    }
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});

    JpegPicture picture;
    picture.readStored(shareBytes(jpeg));
    EXPECT_EQ(decoderErrorOf([&] { picture.bitmap(); }), 58);  // two SOF markers
    JpegPicture clean;
    clean.readStored(shareBytes(sampleJpeg()));
    EXPECT_EQ(picture.bitmap(), clean.bitmap());
}

TEST(ReadStoredPicture, RecordsGrayscaleAndProgressiveStreams) {
    test::SampleStream sample;
    sample.space = test::SampleSpace::Gray;
    sample.progressive = true;
    sample.pixel = [](int x, int y) { return std::vector<std::uint8_t>{static_cast<std::uint8_t>(x * 8 + y)}; };
    JpegPicture picture;
    picture.readStored(shareBytes(test::libjpegEncode(sample)));
    EXPECT_TRUE(picture.grayscale());
    EXPECT_TRUE(picture.progressive());
}

TEST(SavePictureFile, WritesTheStoredBytesExactlyIncludingTrailingBytes) {
    Bytes file = sampleJpeg();
    file.insert(file.end(), {'t', 'r', 'a', 'i', 'l', 0x00, 0xFF});
    test::TempDir dir;
    JpegPicture loaded;
    loaded.loadData(shareBytes(file));
    loaded.bitmap();  // drawing does not change the data
    loaded.saveToFile(dir.file("out.jpg"));
    EXPECT_EQ(test::readFile(dir.file("out.jpg")), std::string(file.begin(), file.end()));

    JpegPicture stored;
    stored.readStored(shareBytes(withGraphicHeader(file, static_cast<std::uint32_t>(file.size()))));
    stored.saveToFile(dir.file("again.jpg"));
    EXPECT_EQ(test::readFile(dir.file("again.jpg")), std::string(file.begin(), file.end()));
}

TEST(SavePictureFile, ReplacesAnExistingFile) {
    test::TempDir dir;
    test::writeFile(dir.file("out.jpg"), std::string(100000, 'x'));
    JpegPicture picture;
    picture.loadData(shareBytes(sampleJpeg()));
    picture.saveToFile(dir.file("out.jpg"));
    EXPECT_EQ(test::readFile(dir.file("out.jpg")), std::string(sampleJpeg().begin(), sampleJpeg().end()));
}

TEST(SavePictureFile, ABitmapIsEncodedOnceAndSavedAsItsStream) {
    test::TempDir dir;
    JpegPicture picture;
    picture.assignBitmap(test::solidBitmap(20, 10, 1, 2, 3));
    picture.saveToFile(dir.file("a.jpg"));
    const SharedBytes data = picture.jpegData();
    picture.saveToFile(dir.file("b.jpg"));
    EXPECT_EQ(picture.jpegData(), data);
    EXPECT_EQ(test::readFile(dir.file("a.jpg")), std::string(data->begin(), data->end()));
    EXPECT_EQ(test::readFile(dir.file("b.jpg")), test::readFile(dir.file("a.jpg")));
}

TEST(SavePictureFile, AFileThatCannotBeCreatedNamesThePathAndTheSystemText) {
    test::TempDir dir;
    const std::string path = dir.file("missing/out.jpg");
    JpegPicture picture;
    picture.loadData(shareBytes(sampleJpeg()));
    try {
        picture.saveToFile(path);
        FAIL() << "no error";
    } catch (const Error& error) {
#ifdef _WIN32
        // Windows names the missing folder, in the path as it expands it.
        EXPECT_EQ(error.what(), cannotCreateFileMessage(fullPathName(path), kErrorPathNotFound));
#else
        // A folder that does not exist: "path not found" (3), as CreateFile reports it.
        EXPECT_EQ(error.what(), cannotCreateFileMessage(path, kErrorPathNotFound));
#endif
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(PictureCopies, ShareTheDataAndCopyTheBitmap) {
    JpegPicture source;
    source.readStored(shareBytes(sampleJpeg()));
    source.bitmap();
    JpegPicture copy(source);
    EXPECT_EQ(copy.jpegData(), source.jpegData());
    ASSERT_TRUE(copy.hasBitmap());
    EXPECT_NE(&copy.bitmap(), &source.bitmap());
    EXPECT_EQ(copy.bitmap(), source.bitmap());
}

TEST(PictureCopies, SeeDataThatOneOfThemEncodesLater) {
    JpegPicture source;
    source.assignBitmap(test::solidBitmap(16, 16, 200, 100, 50));
    JpegPicture copy;
    copy = source;
    JpegPicture third(copy);
    EXPECT_FALSE(source.hasData());
    const SharedBytes encoded = copy.jpegData();
    EXPECT_TRUE(source.hasData());
    EXPECT_EQ(source.jpegData(), encoded);
    EXPECT_EQ(third.jpegData(), encoded);
}

TEST(PictureCopies, NewDataInOneLeavesTheOthersAlone) {
    JpegPicture source;
    source.readStored(shareBytes(sampleJpeg()));
    JpegPicture copy(source);
    copy.readStored(shareBytes(tools::syntheticJpeg(32, 16, 5)));
    EXPECT_EQ(source.width(), 64);
    EXPECT_EQ(copy.width(), 32);
    copy.assignBitmap(test::solidBitmap(8, 8, 0, 0, 0));
    EXPECT_EQ(*source.jpegData(), sampleJpeg());
}

TEST(PictureStates, EmptyUntilItHoldsDataOrANonEmptyBitmap) {
    JpegPicture picture;
    EXPECT_TRUE(picture.empty());
    EXPECT_FALSE(picture.hasData());
    EXPECT_TRUE(picture.bitmap().empty());  // nothing to decode, nothing raised

    picture.assignBitmap(Bitmap());
    EXPECT_TRUE(picture.empty());
    EXPECT_TRUE(picture.jpegData()->empty());  // an empty bitmap stores 0 bytes
    EXPECT_FALSE(picture.empty());             // 0 bytes of data are not empty
}

TEST(PictureStates, BitmapOnlyThenDataAndBitmap) {
    JpegPicture picture;
    picture.assignBitmap(test::solidBitmap(30, 20, 9, 9, 9));
    EXPECT_TRUE(picture.hasBitmap());
    EXPECT_FALSE(picture.hasData());
    EXPECT_EQ(picture.width(), 30);
    EXPECT_EQ(picture.height(), 20);
    const Bytes data = *picture.jpegData();
    EXPECT_EQ(data[0], 0xFF);
    EXPECT_EQ(data[1], 0xD8);
    // The bitmap is kept and drawn as it was, not the re-decoded stream.
    EXPECT_EQ(picture.bitmap(), test::solidBitmap(30, 20, 9, 9, 9));
}

TEST(PictureStates, DataOnlyThenDecodedOnce) {
    JpegPicture picture;
    picture.readStored(shareBytes(sampleJpeg()));
    const Bitmap* first = &picture.bitmap();
    EXPECT_EQ(&picture.bitmap(), first);
    EXPECT_EQ(first->width(), 64);
    // A new read drops the bitmap.
    picture.readStored(shareBytes(tools::syntheticJpeg(10, 12, 0)));
    EXPECT_FALSE(picture.hasBitmap());
    EXPECT_EQ(picture.height(), 12);
}

}  // namespace
}  // namespace velmora
