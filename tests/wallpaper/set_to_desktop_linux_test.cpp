// The wallpaper command on this machine's platform layer, inside a temporary HOME:
// the hive file, the drive folder and the BMP bytes as they land on disk.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include "platform/linux_platform.h"
#include "platform/message_text.h"
#include "platform/process_runner.h"
#include "base/error.h"
#include "store/picture/jpeg_encoder.h"
#include "tests/platform/xdg_sandbox.h"
#include "tests/support/small_disk.h"
#include "tests/support/temp_dir.h"
#include "tests/support/recording_windows.h"
#include "tests/support/session_bus.h"
#include "tests/support/xvfb_server.h"
#include "tools/synthetic_picture.h"
#include "wallpaper/registry_string.h"
#include "wallpaper/set_to_desktop.h"
#include "wallpaper/wallpaper_rotation.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using namespace platform;

std::uint32_t le32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

std::uint16_t le16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

// A picture of two colours, split across the middle (sideways: left and right).
Bytes twoColourJpeg(int width, int height, bool sideways, std::uint32_t first, std::uint32_t second) {
    Bitmap bitmap(width, height, Bitmap::Format::Bgr24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                bitmap.scanLine(y)[3 * x + c] = static_cast<std::uint8_t>(
                    ((sideways ? x < width / 2 : y < height / 2) ? first : second) >> (8 * c));
    return encodeJpeg(bitmap, jpegDefaults());
}

// Whether the root window of $DISPLAY shows about this colour at x, y (JPEG moves it a little).
bool rootShows(int x, int y, std::uint32_t colour) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    auto* image = xcb_get_image_reply(
        connection, xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, x, y, 1, 1, ~0u), nullptr);
    bool near = image && xcb_get_image_data_length(image) >= 4;
    for (int c = 0; near && c < 3; ++c)
        near = std::abs(xcb_get_image_data(image)[c] - static_cast<int>(colour >> (8 * c) & 0xFF)) <= 12;
    std::free(image);
    xcb_disconnect(connection);
    return near;
}

class WallpaperOnThisMachine : public ::testing::Test {
protected:
    WallpaperOnThisMachine() : platform(recordedServices()) {}

    DesktopServices recordedServices() {
        DesktopServices services;
        services.environment = [](const char* name) {
            return std::string(name) == "XDG_CURRENT_DESKTOP" ? "GNOME" : "";
        };
        services.programOnPath = [](const std::string& name) { return name == "gsettings"; };
        services.capture = [](const std::vector<std::string>& argv) -> std::optional<std::string> {
            return argv[1] == "list-keys" ? "picture-uri\npicture-uri-dark\n" : "";
        };
        services.run = [this](const std::vector<std::string>& argv) {
            runs.push_back(argv);
            return true;
        };
        services.requestShowDesktop = [] { return false; };
        services.sleep = [this](unsigned ms) { slept += ms; };
        return services;
    }

    std::string run(const std::string& name, const Bytes& jpeg) {
        JpegPicture displayed;
        displayed.loadData(shareBytes(jpeg));
        try {
            setToDesktop(WallpaperRequest{WallpaperVariant::MainWindow, false, &displayed, name},
                         platform.platform(), windows);
        } catch (const Error& e) {
            return withClosingFullStop(e.what());
        }
        return "";
    }

    fs::path folder() const { return fs::path(sandbox.driveC()) / "WINDOWS/Web/Wallpaper/myWallPaper"; }
    std::vector<std::string> folderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder())) names.push_back(entry.path().filename().string());
        return names;
    }
    std::vector<std::string> filesUnder(const fs::path& root) const {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(root))
            if (!entry.is_directory()) found.push_back(fs::relative(entry.path(), root).string());
        std::sort(found.begin(), found.end());
        return found;
    }

    // The BMP's pixel rows against the picture decoded on its own.
    void expectRowsOfDecodedPicture(const std::string& bmp, const Bytes& jpeg) {
        JpegPicture reference;
        reference.loadData(shareBytes(jpeg));
        const Bitmap& bitmap = reference.bitmap();
        const std::size_t bytesPerPixel = bitmap.bitsPerPixel() / 8;
        const std::size_t pixelBytes = bitmap.width() * bytesPerPixel;
        const std::size_t rowSize = (pixelBytes + 3) / 4 * 4;
        const std::size_t offset = le32(bmp, 10);
        ASSERT_EQ(bmp.size(), offset + rowSize * bitmap.height());
        for (int y = 0; y < bitmap.height(); ++y) {
            const std::string row = bmp.substr(offset + rowSize * (bitmap.height() - 1 - y), rowSize);
            ASSERT_EQ(row.substr(0, pixelBytes),
                      std::string(reinterpret_cast<const char*>(bitmap.scanLine(y)), pixelBytes))
                << "row " << y;
            ASSERT_EQ(row.substr(pixelBytes), std::string(rowSize - pixelBytes, '\0')) << "row " << y;
        }
    }

    test::XdgSandbox sandbox;
    std::vector<std::vector<std::string>> runs;
    unsigned slept = 0;
    LinuxPlatform platform;
    CallLog log;
    test::RecordingWindows windows{log};
};

TEST_F(WallpaperOnThisMachine, CompletedCommandLeavesHiveFolderAndDesktopSetting) {
    ASSERT_EQ(run("Old", tools::syntheticJpeg(32, 32, 1)), "");
    const Bytes jpeg = tools::syntheticJpeg(1024, 768);
    ASSERT_EQ(run("图片3", jpeg), "");

    EXPECT_EQ(folderNames(), std::vector<std::string>{"图片3.bmp"});
    const std::string hive = test::readFile(sandbox.hiveFile());
    EXPECT_NE(hive.find("[software\\Velmora]\n\"FileName\"=REG_SZ:\"%E5%9B%BE%E7%89%873%00\"\n"),
              std::string::npos)
        << hive;
    EXPECT_NE(hive.find("[Control Panel\\Desktop]\n\"Wallpaper\"=REG_SZ:\"C:\\WINDOWS\\Web\\Wallpaper\\"
                        "myWallPaper\\%E5%9B%BE%E7%89%873.bmp%00\"\n"),
              std::string::npos)
        << hive;
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.back().back(), "'file://" + folder().string() + "/%E5%9B%BE%E7%89%873.bmp'");
    EXPECT_EQ(slept, 2000u);

    const std::string bmp = test::readFile((folder() / "图片3.bmp").string());
    ASSERT_EQ(bmp.size(), 54u + 3072u * 768u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(le32(bmp, 2), bmp.size());
    EXPECT_EQ(le32(bmp, 10), 54u);
    EXPECT_EQ(le32(bmp, 14), 40u);
    EXPECT_EQ(le32(bmp, 18), 1024u);
    EXPECT_EQ(le32(bmp, 22), 768u);
    EXPECT_EQ(le16(bmp, 26), 1u);
    EXPECT_EQ(le16(bmp, 28), 24u);
    EXPECT_EQ(le32(bmp, 34), 3072u * 768u);
    expectRowsOfDecodedPicture(bmp, jpeg);
}

TEST_F(WallpaperOnThisMachine, PlainX11ShowsEachOfTwoChangesAndKeepsTheFullBitmapAndTheNames) {
    if (!programOnPath("Xvfb")) GTEST_SKIP() << "Xvfb missing";
    test::XvfbServer server;  // 640 x 480
    test::ScopedEnvironment display("DISPLAY", server.display());
    DesktopServices services = DesktopServices::system();
    services.environment = [&server](const char* name) { return std::string(name) == "DISPLAY" ? server.display() : ""; };
    services.report = [](const std::string&) {};
    services.sleep = [](unsigned) {};
    LinuxPlatform x11(services);
    const std::uint32_t red = 0xFF0000, blue = 0x0000FF, green = 0x00FF00, white = 0xFFFFFF;
    struct Change {
        std::string name;
        Bytes jpeg;
        std::uint32_t topLeft, bottomRight;  // the screen's corners: the picture covers it
    };
    const Change changes[] = {{"first", twoColourJpeg(1600, 1200, true, red, blue), red, blue},
                              {"second", twoColourJpeg(1280, 960, false, green, white), green, white}};
    for (const auto& [name, jpeg, topLeft, bottomRight] : changes) {
        JpegPicture displayed;
        displayed.loadData(shareBytes(jpeg));
        setToDesktop(WallpaperRequest{WallpaperVariant::MainWindow, false, &displayed, name}, x11.platform(), windows);
        EXPECT_TRUE(x11.desktop().wallpaperApplied()) << name;
        EXPECT_TRUE(rootShows(0, 0, topLeft) && rootShows(639, 479, bottomRight)) << name;
        EXPECT_EQ(folderNames(), std::vector<std::string>{name + ".bmp"});
        expectRowsOfDecodedPicture(test::readFile((folder() / (name + ".bmp")).string()), jpeg);
        EXPECT_EQ(rememberedWallpaperName(x11.registry()), name);
        OpenRegistryKey key(x11.registry());
        ASSERT_EQ(x11.registry().openKey(kHkeyCurrentUser, "Control Panel\\Desktop", kKeyRead, key.handle()), 0);
        EXPECT_EQ(readRegistryString(x11.registry(), key.key(), "Wallpaper"),
                  "C:\\WINDOWS\\Web\\Wallpaper\\myWallPaper\\" + name + ".bmp");
    }
    // Split where the picture is: green above the middle, white below.
    EXPECT_TRUE(rootShows(320, 230, green) && rootShows(320, 250, white));
}

TEST_F(WallpaperOnThisMachine, ANameWhoseFileFitsTheFolderWorks) {
    // 251 bytes + ".bmp" is the longest file name the file system takes.
    const std::string longest(251, 'n');
    ASSERT_EQ(run(longest, tools::syntheticJpeg(16, 16)), "");
    EXPECT_EQ(folderNames(), std::vector<std::string>{longest + ".bmp"});
    const std::string tooLong(252, 'n');
    std::string message = run(tooLong, tools::syntheticJpeg(16, 16));
    EXPECT_NE(message.find("The filename or extension is too long"), std::string::npos) << message;
    EXPECT_TRUE(folderNames().empty());
}

TEST_F(WallpaperOnThisMachine, AFullDiskFailsTheBitmapClearlyAndLeavesNoPartialFile) {
    ASSERT_EQ(run("before", tools::syntheticJpeg(16, 16)), "");
    // The drive folder on a small file system, filled up.
    test::SmallDisk disk(1u << 20, sandbox.dir().file("data"));
    fs::create_directories(folder());
    disk.fill();
    const std::size_t callsBefore = log.calls.size();
    std::string message = run("big", tools::syntheticJpeg(1024, 768));
    disk.release();
    // The bitmap, or with a process-wide size limit already the registry hive, fails.
    EXPECT_TRUE(message.rfind("Cannot create file \"", 0) == 0 || message.rfind("Failed to set data", 0) == 0)
        << message;
    if (disk.mounted()) {
        EXPECT_NE(message.find("There is not enough space on the disk"), std::string::npos) << message;
    }
    EXPECT_TRUE(!fs::exists(folder()) || folderNames().empty());  // no partial bitmap, no temporary
    EXPECT_EQ(log.calls.size(), callsBefore);  // the main window was not hidden
    ASSERT_EQ(run("after", tools::syntheticJpeg(16, 16)), "");
    EXPECT_EQ(folderNames(), std::vector<std::string>{"after.bmp"});
}

TEST_F(WallpaperOnThisMachine, OddWidthRowsArePaddedToFourBytes) {
    const Bytes jpeg = tools::syntheticJpeg(101, 10);
    ASSERT_EQ(run("narrow", jpeg), "");
    const std::string bmp = test::readFile((folder() / "narrow.bmp").string());
    ASSERT_EQ(bmp.size(), 54u + 304u * 10u);
    EXPECT_EQ(le32(bmp, 34), 3040u);
    expectRowsOfDecodedPicture(bmp, jpeg);
}

TEST_F(WallpaperOnThisMachine, GrayscalePictureIsWrittenWithEightBitsAndAGrayTable) {
    JpegDefaults gray = jpegDefaults();
    gray.grayscaleOutput = true;
    const Bytes jpeg = encodeJpeg(tools::syntheticBitmap(37, 9), gray);
    ASSERT_EQ(run("gray", jpeg), "");
    const std::string bmp = test::readFile((folder() / "gray.bmp").string());
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(le16(bmp, 28), 8u);
    const std::uint32_t colours = le32(bmp, 46);
    ASSERT_GT(colours, 0u);
    ASSERT_LE(colours, 256u);
    EXPECT_EQ(le32(bmp, 10), 54u + 4u * colours);
    EXPECT_EQ(le32(bmp, 2), bmp.size());
    for (std::uint32_t i = 0; i < colours; ++i) {
        const std::string entry = bmp.substr(54 + 4 * i, 4);
        EXPECT_TRUE(entry[0] == entry[1] && entry[1] == entry[2] && entry[3] == '\0') << "entry " << i;
    }
    expectRowsOfDecodedPicture(bmp, jpeg);
}

TEST_F(WallpaperOnThisMachine, HostileNameWritesNothingAnywhere) {
    const std::string message = run("..\\..\\x", tools::syntheticJpeg(16, 16));
    EXPECT_EQ(message, "Cannot create file \"C:\\WINDOWS\\Web\\Wallpaper\\myWallPaper\\..\\..\\x.bmp\". "
                       "The filename, directory name, or volume label syntax is incorrect.");
    EXPECT_EQ(filesUnder(sandbox.dir().path()), std::vector<std::string>{});
    EXPECT_TRUE(runs.empty());
    EXPECT_TRUE(log.calls.empty());
}

TEST_F(WallpaperOnThisMachine, RememberedHostileNameDeletesNothingOutsideTheFolder) {
    ASSERT_EQ(run("first", tools::syntheticJpeg(16, 16)), "");
    RegKey key = kNoKey;
    ASSERT_EQ(platform.registry().openKey(kHkeyCurrentUser, "software\\Velmora", kKeyAllAccess, &key), 0);
    const std::string hostile("..\\..\\..\\..\\keep", 17);
    platform.registry().setValue(key, "FileName", kRegSz,
                                 reinterpret_cast<const std::uint8_t*>(hostile.c_str()), hostile.size() + 1);
    platform.registry().closeKey(key);
    fs::remove(folder() / "first.bmp");
    test::writeFile(sandbox.driveC() + "/keep.bmp", "precious");

    EXPECT_EQ(run("second", tools::syntheticJpeg(16, 16)), "");
    EXPECT_EQ(test::readFile(sandbox.driveC() + "/keep.bmp"), "precious");
    EXPECT_EQ(folderNames(), std::vector<std::string>{"second.bmp"});
}

TEST_F(WallpaperOnThisMachine, ForeignFileKeepsTheFolderAndReportsIt) {
    ASSERT_EQ(run("first", tools::syntheticJpeg(16, 16)), "");
    test::writeFile((folder() / "notes.txt").string(), "mine");
    EXPECT_EQ(run("second", tools::syntheticJpeg(16, 16)), "I/O error 145.");
    EXPECT_EQ(folderNames(), std::vector<std::string>{"notes.txt"});
    fs::remove_all(folder());
    EXPECT_EQ(run("second", tools::syntheticJpeg(16, 16)), "File not found.");
}

}  // namespace
}  // namespace velmora
