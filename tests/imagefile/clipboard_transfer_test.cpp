#include <gtest/gtest.h>

#include "base/error.h"
#include "store/imagefile/clipboard.h"
#include "tests/support/memory_clipboard.h"
#include "store/imagefile/picture_container.h"
#include "tools/synthetic_picture.h"

namespace velmora {
namespace {

using Calls = std::vector<std::string>;

TEST(PictureContainer, TheBitmapViewKeepsOnlyABitmap) {
    PictureContainer container;
    EXPECT_EQ(container.kind(), PictureContainer::Kind::Empty);
    container.assign(tools::syntheticBitmap(8, 6));
    Bitmap& held = container.bitmap();
    EXPECT_EQ(held.width(), 8);
    EXPECT_EQ(&container.bitmap(), &held);

    JpegPicture picture;
    picture.assignBitmap(tools::syntheticBitmap(8, 6));
    container.assign(picture);
    ASSERT_NE(container.picture(), nullptr);
    EXPECT_TRUE(container.bitmap().empty());
    EXPECT_EQ(container.kind(), PictureContainer::Kind::Bitmap);
    EXPECT_EQ(container.picture(), nullptr);
}

TEST(CopyPicture, EmptiesTheClipboardThenPutsTheDecodedBitmap) {
    MemoryClipboard clipboard;
    clipboard.offerText("earlier text");
    JpegPicture picture;
    picture.loadData(shareBytes(tools::syntheticJpeg(16, 8)));
    copyPicture(clipboard, picture);
    EXPECT_EQ(clipboard.calls(), (Calls{"clear", "setBitmap"}));
    ASSERT_TRUE(clipboard.heldBitmap());
    EXPECT_EQ(*clipboard.heldBitmap(), picture.bitmap());
    EXPECT_FALSE(clipboard.heldText());
}

TEST(CopyPicture, ADecoderErrorLeavesTheClipboardEmptied) {
    MemoryClipboard clipboard;
    clipboard.offerBitmap(tools::syntheticBitmap(4, 4));
    JpegPicture noBytes;
    noBytes.loadData(shareBytes({}));
    EXPECT_THROW(copyPicture(clipboard, noBytes), JpegError);
    EXPECT_EQ(clipboard.calls(), (Calls{"clear"}));
    EXPECT_FALSE(clipboard.heldBitmap());
}

TEST(PastePicture, TheContainerHoldsTheClipboardsBitmap) {
    MemoryClipboard clipboard;
    const Bitmap offered = tools::syntheticBitmap(5, 7);
    clipboard.offerBitmap(offered);
    PictureContainer pasted = pastePicture(clipboard);
    EXPECT_EQ(pasted.kind(), PictureContainer::Kind::Bitmap);
    EXPECT_EQ(pasted.bitmap(), offered);
}

TEST(PastePicture, FailuresCarryTheClipboardMessages) {
    MemoryClipboard textOnly;
    textOnly.offerText("no picture");
    EXPECT_FALSE(textOnly.hasBitmap());
    try {
        pastePicture(textOnly);
        FAIL();
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Unsupported clipboard format");
    }
    MemoryClipboard locked;
    locked.setLocked(true);
    try {
        pastePicture(locked);
        FAIL();
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Cannot open clipboard");
    }
}

}  // namespace
}  // namespace velmora
