#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/little_endian.h"
#include "tests/support/fuzz_corpus.h"
#include "win32_window/dib_format.h"
#include "win32_window/wic_image_decoder.h"
#include "win32_window/win32_clipboard.h"

namespace velmora::win32 {
namespace {

// A DIB as another program might put it on the clipboard.
struct Dib {
    std::uint32_t headerSize = 40;
    std::int32_t width = 2;
    std::int32_t height = 2;
    std::uint16_t planes = 1;
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = BI_RGB;
    std::uint32_t coloursUsed = 0;
    std::vector<std::uint32_t> masks{};  // after a 40-byte header, else inside the header
    std::vector<std::uint8_t> table{};
    std::vector<std::uint8_t> rows{};

    Bytes bytes() const {
        Bytes out;
        le::put32(out, headerSize);
        le::put32(out, static_cast<std::uint32_t>(width));
        le::put32(out, static_cast<std::uint32_t>(height));
        le::put16(out, planes);
        le::put16(out, bitsPerPixel);
        le::put32(out, compression);
        for (int i = 0; i < 3; ++i) le::put32(out, 0);  // image size, resolution
        le::put32(out, coloursUsed);
        le::put32(out, 0);
        for (std::uint32_t mask : masks) le::put32(out, mask);
        if (headerSize > out.size()) out.resize(headerSize, 0);
        out.insert(out.end(), table.begin(), table.end());
        out.insert(out.end(), rows.begin(), rows.end());
        return out;
    }
};

Bitmap bgr(int width, int height, std::vector<std::uint8_t> pixels) {
    Bitmap bitmap(width, height, Bitmap::Format::Bgr24);
    for (int y = 0; y < height; ++y) {
        std::memcpy(bitmap.scanLine(y), pixels.data() + 3 * width * y, 3 * static_cast<std::size_t>(width));
    }
    return bitmap;
}

// Red, green over blue, white: what each "other program" case below holds.
const Bitmap kFourColours = bgr(2, 2, {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255});

void putRaw(UINT format, const Bytes& bytes) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(global), bytes.data(), bytes.size());
    GlobalUnlock(global);
    EXPECT_NE(SetClipboardData(format, global), nullptr);
    CloseClipboard();
}

Bytes readRaw(UINT format) {
    Bytes bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    if (HANDLE data = GetClipboardData(format)) {
        const auto* at = static_cast<const std::uint8_t*>(GlobalLock(data));
        bytes.assign(at, at + GlobalSize(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

TEST(Win32Clipboard, CopiesBottomUpDibsAndReadsThemBack) {
    Win32Clipboard clipboard;
    // Odd widths: rows padded to four bytes.
    Bitmap colour(5, 3, Bitmap::Format::Bgr24);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 15; ++x) colour.scanLine(y)[x] = static_cast<std::uint8_t>(y * 40 + x);
    Bitmap grey(3, 2, Bitmap::Format::Indexed8);
    std::vector<PaletteEntry> palette;
    for (int i = 0; i < 256; ++i) palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7});
    grey.setPalette(palette);
    for (int x = 0; x < 3; ++x) {
        grey.scanLine(0)[x] = static_cast<std::uint8_t>(x);
        grey.scanLine(1)[x] = static_cast<std::uint8_t>(200 + x);
    }

    for (const Bitmap* bitmap : {&colour, &grey}) {
        SCOPED_TRACE(bitmap->bitsPerPixel());
        clipboard.setBitmap(*bitmap);
        EXPECT_TRUE(clipboard.hasBitmap());
        EXPECT_EQ(clipboard.bitmap(), bitmap->toBgr24());

        // Windows readers get positive heights, the bottom row first, and the palette.
        const Bytes dib = readRaw(CF_DIB);
        ASSERT_GE(dib.size(), 40u);
        EXPECT_EQ(le::u32(dib.data()), 40u);
        EXPECT_EQ(le::i32(dib.data() + 8), bitmap->height());
        EXPECT_EQ(le::u16(dib.data() + 14), bitmap->bitsPerPixel());
        const std::size_t table = bitmap->bitsPerPixel() == 8 ? 256 * 4 : 0;
        ASSERT_GE(dib.size(), 40 + table + bitmap->bytesPerLine());
        EXPECT_EQ(0, std::memcmp(dib.data() + 40 + table, bitmap->scanLine(bitmap->height() - 1),
                                 static_cast<std::size_t>(bitmap->width()) * bitmap->bitsPerPixel() / 8));
        if (table) {
            EXPECT_EQ(dib[40 + 4 * 200 + 2], 200);  // the red of entry 200
        }
        const Bytes v5 = readRaw(CF_DIBV5);
        ASSERT_GE(v5.size(), 124u);
        EXPECT_EQ(le::u32(v5.data()), 124u);
        EXPECT_EQ(bitmapFromDib(v5.data(), v5.size()), bitmap->toBgr24());
    }

    // A copy of nothing empties the clipboard; so does clear().
    clipboard.setBitmap(Bitmap());
    EXPECT_FALSE(clipboard.hasBitmap());
    EXPECT_EQ(errorOf([&] { clipboard.bitmap(); }), "Unsupported clipboard format");
    clipboard.setBitmap(colour);
    clipboard.clear();
    EXPECT_FALSE(clipboard.hasBitmap());
}

// A 2 x 2 PNG of kFourColours.
const std::uint8_t kPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00,
    0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02, 0x00, 0x00, 0x00, 0xfd, 0xd4, 0x9a, 0x73, 0x00,
    0x00, 0x00, 0x12, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8, 0xcf, 0xc0, 0xc0, 0x00, 0xc2, 0x0c,
    0xff, 0x81, 0x00, 0x00, 0x1f, 0xee, 0x05, 0xfb, 0x0b, 0xd9, 0x68, 0x8b, 0x00, 0x00, 0x00, 0x00, 0x49,
    0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

TEST(Win32Clipboard, ReadsWhatOtherProgramsPutThere) {
    Win32Clipboard clipboard;
    struct Case {
        const char* what;
        UINT format;
        Bytes bytes;
    };
    const Case cases[] = {
        {"32-bit top-down V5 with masks and alpha", CF_DIBV5,
         Dib{.headerSize = 124, .height = -2, .bitsPerPixel = 32, .compression = BI_BITFIELDS,
             .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
             .rows = {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255}}
             .bytes()},
        {"16-bit 5-6-5 with masks after the header, bottom-up", CF_DIB,
         Dib{.bitsPerPixel = 16, .compression = BI_BITFIELDS, .masks = {0xF800, 0x07E0, 0x001F},
             .rows = {0x1F, 0x00, 0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07}}
             .bytes()},
        {"24-bit, rows padded", CF_DIB,
         Dib{.rows = {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0}}.bytes()},
        {"8-bit with a short colour table", CF_DIB,
         Dib{.bitsPerPixel = 8, .coloursUsed = 4,
             .table = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0},
             .rows = {2, 3, 0, 0, 0, 1, 0, 0}}
             .bytes()},
        {"PNG", RegisterClipboardFormatW(L"PNG"), Bytes(kPng, kPng + sizeof kPng)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.format == CF_DIB || c.format == CF_DIBV5) {
            EXPECT_EQ(bitmapFromDib(c.bytes.data(), c.bytes.size()), kFourColours);
        }
        putRaw(c.format, c.bytes);
        EXPECT_TRUE(clipboard.hasBitmap());
        Bitmap pasted;
        EXPECT_EQ(errorOf([&] { pasted = clipboard.bitmap(); }), "no error");
        EXPECT_EQ(pasted, kFourColours);
    }

    // 1-bit: yellow, black, yellow from the colour table.
    EXPECT_EQ(bitmapFromDib(Dib{.width = 3, .height = 1, .bitsPerPixel = 1, .table = {0, 0, 0, 0, 0, 255, 255, 0},
                                .rows = {0xA0, 0, 0, 0}}
                                .bytes()
                                .data(),
                            48 + 4),
              bgr(3, 1, {0, 255, 255, 0, 0, 0, 0, 255, 255}));

    // Text is no picture.
    putRaw(CF_UNICODETEXT, Bytes{'a', 0, 0, 0});
    EXPECT_FALSE(clipboard.hasBitmap());
    EXPECT_EQ(errorOf([&] { clipboard.bitmap(); }), "Unsupported clipboard format");
}

TEST(Win32Clipboard, HostileDibsAreRefusedWithoutReadingPastThem) {
    const Dib sound{.rows = Bytes(16, 0)};
    auto with = [&](auto change) {
        Dib dib = sound;
        change(dib);
        return dib.bytes();
    };
    Bytes headerCutShort = sound.bytes();
    headerCutShort.resize(20);
    Bytes rowMissing = sound.bytes();
    rowMissing.resize(rowMissing.size() - 8);
    Bytes headerTooLong = sound.bytes();
    headerTooLong[3] = 0x7F;
    Bytes masksMissing = with([](Dib& d) { d.bitsPerPixel = 16, d.compression = BI_BITFIELDS, d.rows.clear(); });
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"three bytes", Bytes{40, 0, 0}},
        {"header cut short", headerCutShort},
        {"header longer than the data", headerTooLong},
        {"header of an unknown size", with([](Dib& d) { d.headerSize = 8; })},
        {"no width", with([](Dib& d) { d.width = 0; })},
        {"negative width", with([](Dib& d) { d.width = -2; })},
        {"no height", with([](Dib& d) { d.height = 0; })},
        {"height the sign cannot flip", with([](Dib& d) { d.height = INT32_MIN; })},
        {"more pixels than memory", with([](Dib& d) { d.width = 0x10000, d.height = 0x10000; })},
        {"two planes", with([](Dib& d) { d.planes = 2; })},
        {"seven bits per pixel", with([](Dib& d) { d.bitsPerPixel = 7; })},
        {"run-length rows", with([](Dib& d) { d.bitsPerPixel = 8, d.compression = BI_RLE8; })},
        {"unknown compression", with([](Dib& d) { d.compression = 99; })},
        {"masks on 24 bits", with([](Dib& d) { d.compression = BI_BITFIELDS, d.masks = {0xFF, 0xFF00, 0xFF0000}; })},
        {"palette past the end", with([](Dib& d) { d.bitsPerPixel = 8, d.table = Bytes(40, 0); })},
        {"colour count beyond reason", with([](Dib& d) { d.bitsPerPixel = 8, d.coloursUsed = 0xFFFFFFFF; })},
        {"a row missing", rowMissing},
        {"masks missing", masksMissing},
        {"a zero mask", with([](Dib& d) { d.bitsPerPixel = 32, d.compression = BI_BITFIELDS, d.masks = {0xFF, 0, 0xFF0000}; })},
        {"overlapping masks",
         with([](Dib& d) { d.bitsPerPixel = 32, d.compression = BI_BITFIELDS, d.masks = {0xFF, 0xFF0, 0xFF0000}; })},
        {"a mask with a gap",
         with([](Dib& d) { d.bitsPerPixel = 32, d.compression = BI_BITFIELDS, d.masks = {0xF0F, 0xF000, 0xFF0000}; })},
        {"a mask wider than the pixel",
         with([](Dib& d) { d.bitsPerPixel = 16, d.compression = BI_BITFIELDS, d.masks = {0x1F, 0x7E0, 0x1F0000}; })},
    };
    Win32Clipboard clipboard;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(errorOf([&] { bitmapFromDib(c.bytes.data(), c.bytes.size()); }), "Unsupported clipboard format");
        // The same from the clipboard, exactly as long as the data (no slack after it).
        if (c.bytes.size() < 4) continue;
        putRaw(CF_DIB, c.bytes);
        EXPECT_EQ(errorOf([&] { clipboard.bitmap(); }), "Unsupported clipboard format");
    }
}

TEST(Win32Clipboard, AClipboardHeldByAnotherThreadCannotBeOpened) {
    Win32Clipboard clipboard;
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        // Opened for a window: the system lets only that window's thread use it.
        HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        EXPECT_TRUE(OpenClipboard(window));
        SetEvent(opened);
        WaitForSingleObject(done, 10000);
        CloseClipboard();
        DestroyWindow(window);
    });
    WaitForSingleObject(opened, 10000);
    EXPECT_EQ(errorOf([&] { clipboard.setBitmap(kFourColours); }), "Cannot open clipboard");
    EXPECT_EQ(errorOf([&] { clipboard.bitmap(); }), "Cannot open clipboard");
    SetEvent(done);
    holder.join();
    CloseHandle(opened);
    CloseHandle(done);
    clipboard.setBitmap(kFourColours);
    EXPECT_EQ(clipboard.bitmap(), kFourColours);
}

// Every input the DIB fuzzer kept, crashes it once found among them, read again: each
// gives a bitmap or the clipboard's error.
TEST(DibFuzzCorpus, EveryKeptInputReadsOrFailsCleanly) {
    const auto inputs = test::keptFuzzInputs("dib");
    for (const auto& input : inputs) {
        const Bytes dib(input.bytes.begin(), input.bytes.end());
        const std::string error = errorOf([&] { bitmapFromDib(dib.data(), dib.size()); });
        EXPECT_TRUE(error == "no error" || error == "Unsupported clipboard format") << input.name << ": " << error;
    }
    EXPECT_GT(inputs.size(), 0u);
}

}  // namespace
TEST(WicImageDecoder, ReadsByContentOverWhiteAndRefusesTheRest) {
    const WicImageDecoder decoder;
    // A PNG saved under .gif reads as the PNG it is.
    EXPECT_EQ(decoder.decode(Bytes(kPng, kPng + sizeof kPng), "gif"), kFourColours);
    // A 1 x 1 GIF whose one pixel (red) is the transparent colour: white.
    const Bytes gif{0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0xFF, 0x00,
                    0x00, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00,
                    0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    EXPECT_EQ(decoder.decode(gif, "gif"), bgr(1, 1, {255, 255, 255}));
    // Cut short, promising more pixels than the store takes, or nothing at all.
    Bytes huge(kPng, kPng + sizeof kPng);
    huge[16] = huge[20] = 0x7F;  // each side near 2^31
    const std::pair<Bytes, const char*> refused[] = {
        {Bytes(kPng, kPng + 40), "png"}, {huge, "png"}, {Bytes{'G', 'I', 'F'}, "gif"}, {Bytes(), "webp"}};
    for (const auto& [bytes, extension] : refused) {
        EXPECT_EQ(errorOf([&] { decoder.decode(bytes, extension); }), invalidImageText(extension)) << extension;
    }
}

}  // namespace velmora::win32
