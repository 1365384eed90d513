// The wallpaper command against the recording fakes.

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fake_desktop.h"
#include "tests/support/fake_files.h"
#include "tests/support/fake_registry.h"
#include "platform/message_text.h"
#include "base/system_error.h"
#include "base/error.h"
#include "tests/support/recording_windows.h"
#include "tools/synthetic_picture.h"
#include "wallpaper/set_to_desktop.h"
#include "wallpaper/wallpaper_location.h"

namespace velmora {
namespace {

using namespace platform;

const std::string kFolder = "C:\\WINDOWS\\Web\\Wallpaper\\myWallPaper";
const std::string kKey = "software\\Velmora";

class WallpaperCommand : public ::testing::Test {
protected:
    WallpaperCommand() { displayed.loadData(shareBytes(tools::syntheticJpeg(64, 48))); }

    // Runs the command; returns the message the default handler would show, or "".
    std::string run(const std::string& name, WallpaperVariant variant = WallpaperVariant::MainWindow,
                    bool pictureIsNull = false) {
        WallpaperRequest request{variant, pictureIsNull, &displayed, name};
        std::string shown;
        try {
            setToDesktop(request, Platform{registry, files, desktop}, windows);
        } catch (const Error& e) {
            shown = withClosingFullStop(e.what());
        }
        EXPECT_EQ(registry.openHandleCount(), 0u) << "a registry key was left open";
        return shown;
    }

    void remember(const std::string& name) {
        std::string data = name + '\0';
        registry.putValue(kKey, "FileName", kRegSz, Bytes(data.begin(), data.end()));
    }
    std::string remembered() const {
        auto value = registry.value(kKey, "FileName");
        return value ? std::string(value->data.begin(), value->data.end()) : "<none>";
    }
    std::vector<std::string> folder() const {
        auto names = files.list(kFolder);
        std::sort(names.begin(), names.end());
        return names;
    }
    bool logged(const std::string& call) const {
        return std::find(log.calls.begin(), log.calls.end(), call) != log.calls.end();
    }
    bool windowHidden() const { return logged("hide main window"); }

    CallLog log;
    FakeRegistry registry{log};
    FakeFiles files{log};
    FakeDesktop desktop{log};
    test::RecordingWindows windows{log};
    JpegPicture displayed;
};

TEST_F(WallpaperCommand, FirstUseCreatesKeyValueFolderChainAndFile) {
    EXPECT_EQ(run("Sunset"), "");
    EXPECT_EQ(remembered(), std::string("Sunset\0", 7));
    EXPECT_EQ(folder(), std::vector<std::string>{"Sunset.bmp"});
    // 64 x 48 at 24 bits: rows of 192 bytes.
    EXPECT_EQ(files.fileContent(kFolder + "\\Sunset.bmp")->size(), 54u + 192u * 48u);
    EXPECT_EQ(desktop.wallpaper, kFolder + "\\Sunset.bmp");

    const std::vector<std::string> start(log.calls.begin(), log.calls.begin() + 13);
    EXPECT_EQ(start, (std::vector<std::string>{
                         "RegOpenKeyEx(HKCU, software\\Velmora, 0x20009) = 2",
                         "RegCreateKeyEx(HKCU, software\\Velmora, 0xF003F) = 0 key#1",
                         "RegSetValueEx(key#1, FileName, type 1, 7 bytes) = 0",
                         "RegCloseKey(key#1) = 0",
                         "GetFileAttributes(" + kFolder + ") = invalid",
                         "GetFileAttributes(" + kFolder + ") = invalid",
                         "GetFileAttributes(C:\\WINDOWS\\Web\\Wallpaper) = invalid",
                         "GetFileAttributes(C:\\WINDOWS\\Web) = invalid",
                         "GetFileAttributes(C:\\WINDOWS) = invalid",
                         "CreateDirectory(C:\\WINDOWS) = ok",
                         "CreateDirectory(C:\\WINDOWS\\Web) = ok",
                         "CreateDirectory(C:\\WINDOWS\\Web\\Wallpaper) = ok",
                         "CreateDirectory(" + kFolder + ") = ok",
                     }));
    EXPECT_EQ(log.calls.back(), "show and raise main window");
}

TEST_F(WallpaperCommand, SecondUseMakesExactlyTheseCallsInOrder) {
    files.putFile(kFolder + "\\Old.bmp");
    remember("Old");
    desktop.scanCodes[kVkM] = 0x1232;  // only the low byte reaches the event
    EXPECT_EQ(run("图片3"), "");

    const std::string file = kFolder + "\\图片3.bmp";
    EXPECT_EQ(log.calls, (std::vector<std::string>{
                             "RegOpenKeyEx(HKCU, software\\Velmora, 0x20009) = 0 key#1",
                             "RegCloseKey(key#1) = 0",
                             "RegOpenKeyEx(HKCU, software\\Velmora, 0xF003F) = 0 key#2",
                             "RegQueryValueEx(key#2, FileName, size) = 0",
                             "RegQueryValueEx(key#2, FileName, data) = 0",
                             "RegCloseKey(key#2) = 0",
                             "DeleteFile(" + kFolder + "\\Old.bmp) = ok",
                             "RemoveDirectory(" + kFolder + ") = ok",
                             "RegCreateKeyEx(HKCU, software\\Velmora, 0xF003F) = 0 key#3",
                             "RegSetValueEx(key#3, FileName, type 1, 8 bytes) = 0",
                             "RegCloseKey(key#3) = 0",
                             "GetFileAttributes(" + kFolder + ") = invalid",
                             "GetFileAttributes(" + kFolder + ") = invalid",
                             "GetFileAttributes(C:\\WINDOWS\\Web\\Wallpaper) = 16",
                             "CreateDirectory(" + kFolder + ") = ok",
                             "CreateFile(" + file + ", 9270 bytes) = ok",
                             "SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, " + file + ", SPIF_UPDATEINIFILE)",
                             "MapVirtualKey(0x5B, 0) = 0x5B",
                             "keybd_event(0x5B, 0x5B, 0, 0)",
                             "MapVirtualKey(0x4D, 0) = 0x1232",
                             "keybd_event(0x4D, 0x32, 0, 0)",
                             "MapVirtualKey(0x4D, 0) = 0x1232",
                             "keybd_event(0x4D, 0x32, 2, 0)",
                             "MapVirtualKey(0x5B, 0) = 0x5B",
                             "keybd_event(0x5B, 0x5B, 2, 0)",
                             "hide main window",
                             "Sleep(1000)",
                             "show and raise main window",
                         }));
    EXPECT_EQ(remembered(), "图片3" + std::string(1, '\0'));
    EXPECT_EQ(folder(), std::vector<std::string>{"图片3.bmp"});
}

TEST_F(WallpaperCommand, SamePictureTwiceRewritesItsFile) {
    ASSERT_EQ(run("Sunset"), "");
    log.clear();
    ASSERT_EQ(run("Sunset"), "");
    EXPECT_TRUE(logged("DeleteFile(" + kFolder + "\\Sunset.bmp) = ok"));
    EXPECT_EQ(folder(), std::vector<std::string>{"Sunset.bmp"});
    EXPECT_EQ(remembered(), std::string("Sunset\0", 7));
}

TEST_F(WallpaperCommand, KeyWithoutValueDeletesNothingAndGoesOn) {
    registry.putKey(kKey);
    files.putFolder(kFolder);
    EXPECT_EQ(run("Sunset"), "");
    EXPECT_TRUE(logged("DeleteFile(" + kFolder + "\\.bmp) = error 2"));
    EXPECT_TRUE(logged("RemoveDirectory(" + kFolder + ") = ok"));
    EXPECT_EQ(folder(), std::vector<std::string>{"Sunset.bmp"});
}

TEST_F(WallpaperCommand, NumberInTheValueStopsEveryCommand) {
    registry.putValue(kKey, "FileName", kRegDword, Bytes{7, 0, 0, 0});
    files.putFile(kFolder + "\\Old.bmp");
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(run("Sunset"), "Invalid data type for 'FileName'");
    }
    EXPECT_EQ(registry.value(kKey, "FileName")->type, kRegDword);
    EXPECT_EQ(folder(), std::vector<std::string>{"Old.bmp"});
    EXPECT_FALSE(windowHidden());
}

TEST_F(WallpaperCommand, ExpandableStringIsReadUnexpanded) {
    const std::string data("%USERPROFILE%\0junk", 18);
    registry.putValue(kKey, "FileName", kRegExpandSz, Bytes(data.begin(), data.end()));
    files.putFile(kFolder + "\\%USERPROFILE%.bmp");
    EXPECT_EQ(run("Sunset"), "");
    EXPECT_TRUE(logged("DeleteFile(" + kFolder + "\\%USERPROFILE%.bmp) = ok"));
}

TEST_F(WallpaperCommand, ForeignFileInTheFolderGivesIoError145Forever) {
    files.putFile(kFolder + "\\Old.bmp");
    files.putFile(kFolder + "\\notes.txt");
    remember("Old");
    EXPECT_EQ(run("Sunset"), "I/O error 145.");
    EXPECT_EQ(folder(), std::vector<std::string>{"notes.txt"});  // the old file went first
    EXPECT_EQ(remembered(), std::string("Old\0", 4));
    EXPECT_EQ(run("Sunset"), "I/O error 145.");
    EXPECT_FALSE(windowHidden());
    EXPECT_EQ(desktop.wallpaper, "");
}

TEST_F(WallpaperCommand, DeletedFolderGivesFileNotFound) {
    remember("Old");
    files.putFolder("C:\\WINDOWS\\Web\\Wallpaper");
    EXPECT_EQ(run("Sunset"), "File not found.");
    EXPECT_EQ(run("Sunset"), "File not found.");
    EXPECT_EQ(remembered(), std::string("Old\0", 4));
    files.failRemoveDirectory = kErrorAccessDenied;
    files.putFolder(kFolder);
    EXPECT_EQ(run("Sunset"), "File access denied.");
}

TEST_F(WallpaperCommand, RegistryReadAndWriteFailuresNameTheValue) {
    remember("Old");
    files.putFile(kFolder + "\\Old.bmp");
    registry.failQueryData = kErrorAccessDenied;
    EXPECT_EQ(run("Sunset"), "Failed to get data for 'FileName'");
    EXPECT_EQ(folder(), std::vector<std::string>{"Old.bmp"});

    // The key could not be opened for writing: the old file and the folder are
    // already gone, the value stays.
    registry.failQueryData = 0;
    registry.failCreateKey = kErrorAccessDenied;
    EXPECT_EQ(run("Sunset"), "Failed to set data for 'FileName'");
    EXPECT_FALSE(files.hasFolder(kFolder));
    EXPECT_EQ(remembered(), std::string("Old\0", 4));
    EXPECT_FALSE(windowHidden());
}

TEST_F(WallpaperCommand, RefusedWriteOnFirstUseCreatesNoFolder) {
    registry.failSetValue = kErrorAccessDenied;
    EXPECT_EQ(run("Sunset"), "Failed to set data for 'FileName'");
    EXPECT_FALSE(files.hasFolder("C:\\WINDOWS"));
}

TEST_F(WallpaperCommand, NameWithQuestionMarkIsRememberedButNotWritten) {
    const std::string message = run("a?b");
    EXPECT_EQ(message, withClosingFullStop(cannotCreateFileMessage(kFolder + "\\a?b.bmp", kErrorInvalidName)));
    EXPECT_EQ(remembered(), std::string("a?b\0", 4));
    EXPECT_TRUE(files.list(kFolder).empty());
    EXPECT_FALSE(windowHidden());
    EXPECT_EQ(desktop.wallpaper, "");

    // The next picture with a valid name completes; deleting "a?b.bmp" fails quietly.
    log.clear();
    EXPECT_EQ(run("Sunset"), "");
    EXPECT_TRUE(logged("DeleteFile(" + kFolder + "\\a?b.bmp) = error 123"));
    EXPECT_EQ(folder(), std::vector<std::string>{"Sunset.bmp"});
}

TEST_F(WallpaperCommand, EmptyNameWritesDotBmp) {
    EXPECT_EQ(run(""), "");
    EXPECT_EQ(folder(), std::vector<std::string>{".bmp"});
    EXPECT_EQ(remembered(), std::string(1, '\0'));
    log.clear();
    EXPECT_EQ(run(""), "");
    EXPECT_TRUE(logged("DeleteFile(" + kFolder + "\\.bmp) = ok"));
}

TEST_F(WallpaperCommand, NoPictureOnlyShowsTheVariantsMessage) {
    remember("Old");
    files.putFile(kFolder + "\\Old.bmp");
    EXPECT_EQ(run("Sunset", WallpaperVariant::MainWindow, true), "");
    EXPECT_EQ(run("", WallpaperVariant::Viewer, true), "");
    EXPECT_EQ(log.calls, (std::vector<std::string>{"message: 当前没有可作为桌面的图片!",
                                                   "message: 没有图片源!"}));
    EXPECT_EQ(folder(), std::vector<std::string>{"Old.bmp"});
}

TEST_F(WallpaperCommand, ViewerIsClosedOnlyAfterSuccess) {
    EXPECT_NE(run("a*b", WallpaperVariant::Viewer), "");
    EXPECT_FALSE(logged("hide and close viewer"));
    EXPECT_FALSE(windowHidden());

    log.clear();
    EXPECT_EQ(run("Sunset", WallpaperVariant::Viewer), "");
    const std::vector<std::string> end(log.calls.end() - 4, log.calls.end());
    EXPECT_EQ(end, (std::vector<std::string>{"hide main window", "hide and close viewer",
                                             "Sleep(1000)", "show and raise main window"}));
}

TEST_F(WallpaperCommand, PictureThatDoesNotDecodeStopsBeforeTheFile) {
    Bytes cut = tools::syntheticJpeg(64, 48);
    cut.resize(100);  // ends before the first scan
    try {
        displayed.loadData(shareBytes(cut));
    } catch (const JpegError&) {
        // The display keeps the data it could not read, as a record's picture does.
    }
    const std::string message = run("Sunset");
    EXPECT_EQ(message.rfind("JPEG error #", 0), 0u) << message;
    EXPECT_EQ(remembered(), std::string("Sunset\0", 7));
    EXPECT_TRUE(files.hasFolder(kFolder));
    EXPECT_TRUE(files.list(kFolder).empty());
    EXPECT_FALSE(windowHidden());
}

TEST_F(WallpaperCommand, NameLeavingTheFolderChangesNothing) {
    remember("Old");
    files.putFile(kFolder + "\\Old.bmp");
    for (const std::string name : {"..\\..\\x", "sub/x", "..", "a\\b"}) {
        log.clear();
        EXPECT_EQ(run(name),
                  withClosingFullStop(cannotCreateFileMessage(kFolder + "\\" + name + ".bmp", kErrorInvalidName)));
        EXPECT_TRUE(log.calls.empty()) << name;
    }
    EXPECT_EQ(remembered(), std::string("Old\0", 4));
    EXPECT_EQ(folder(), std::vector<std::string>{"Old.bmp"});
}

TEST_F(WallpaperCommand, RememberedNameLeavingTheFolderIsNotDeleted) {
    remember("..\\..\\..\\important");
    files.putFile("C:\\important.bmp");
    files.putFolder(kFolder);
    EXPECT_EQ(run("Sunset"), "");
    EXPECT_TRUE(files.hasFile("C:\\important.bmp"));
    EXPECT_EQ(std::count_if(log.calls.begin(), log.calls.end(),
                            [](const std::string& call) { return call.rfind("DeleteFile", 0) == 0; }),
              0);
    EXPECT_EQ(folder(), std::vector<std::string>{"Sunset.bmp"});
}

}  // namespace
}  // namespace velmora
