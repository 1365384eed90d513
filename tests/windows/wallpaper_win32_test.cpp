// The wallpaper command with the real Win32 registry, files and desktop. Wine takes
// any path as the wallpaper, so the failures of that call are left to the
// recording fakes of tests/wallpaper.
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/system_error.h"
#include "base/utf16.h"
#include "platform/windows_platform.h"
#include "store/imagefile/file_access.h"
#include "tests/support/recording_windows.h"
#include "tools/synthetic_picture.h"
#include "wallpaper/set_to_desktop.h"
#include "wallpaper/wallpaper_folder.h"
#include "wallpaper/wallpaper_location.h"

namespace velmora {
namespace {

using namespace platform;

std::vector<std::string> wallpaperFolderNames(const std::string& folder = kWallpaperFolder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(toUtf16(folder), error))
        names.push_back(fromUtf16(entry.path().filename().wstring()));
    return names;
}

// The value as any program reads it with the ANSI call.
std::string fileNameValueA() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "software\\Velmora", 0, KEY_READ, &key) != ERROR_SUCCESS) return "<none>";
    char data[256] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    const LONG code = RegQueryValueExA(key, "FileName", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (code != ERROR_SUCCESS || type != REG_SZ) return "<bad>";
    return std::string(data, size);  // with its zero byte
}

std::wstring fileNameValueW() {
    wchar_t data[256] = {};
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CURRENT_USER, L"software\\Velmora", L"FileName", RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return L"<none>";
    return data;
}

class WallpaperOnWindows : public ::testing::Test {
protected:
    void SetUp() override {
        // First use: no key, no folder.
        RegDeleteTreeW(HKEY_CURRENT_USER, L"software\\Velmora");
        std::error_code ignored;
        std::filesystem::remove_all(toUtf16(kWallpaperFolder), ignored);
    }

    // Runs the command of the main window for a picture of width x height.
    void setWallpaper(const std::string& name, int width, int height, int variant) {
        JpegPicture displayed;
        displayed.loadData(shareBytes(tools::syntheticJpeg(width, height, variant)));
        WallpaperRequest request;
        request.pictureIsNull = false;
        request.displayedPicture = &displayed;
        request.name = name;
        setToDesktop(request, system.platform(), windows);
    }

    WindowsPlatform system;
    CallLog log;
    test::RecordingWindows windows{log};
};

TEST_F(WallpaperOnWindows, FirstAndSecondUseLeaveOnlyTheNewBitmap) {
    const auto started = std::chrono::steady_clock::now();
    setWallpaper("Sunset", 320, 200, 1);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));  // the pause
    EXPECT_EQ(log.calls, (std::vector<std::string>{"hide main window", "show and raise main window"}));

    EXPECT_EQ(fileNameValueA(), std::string("Sunset\0", 7));
    EXPECT_EQ(currentWallpaper(), wallpaperFilePath("Sunset"));
    EXPECT_EQ(wallpaperFolderNames(), std::vector<std::string>{"Sunset.bmp"});
    const Bytes bmp = readFileBytes(wallpaperFilePath("Sunset"));
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[28], 24);                           // bits per pixel
    EXPECT_EQ(bmp.size(), 54u + 320u * 3u * 200u);    // full size, rows already 4-byte aligned

    setWallpaper("Harbour", 64, 48, 2);
    EXPECT_EQ(fileNameValueA(), std::string("Harbour\0", 8));
    EXPECT_EQ(currentWallpaper(), wallpaperFilePath("Harbour"));
    EXPECT_EQ(wallpaperFolderNames(), std::vector<std::string>{"Harbour.bmp"});

    // The same picture again: written anew under the same name.
    setWallpaper("Harbour", 64, 48, 2);
    EXPECT_EQ(wallpaperFolderNames(), std::vector<std::string>{"Harbour.bmp"});
}

TEST_F(WallpaperOnWindows, ChineseNamesReachTheRegistryTheFileAndTheDesktop) {
    const std::string name = "\xE5\x9B\xBE\xE7\x89\x87 7";  // 图片 7
    setWallpaper(name, 40, 30, 3);
    EXPECT_EQ(fileNameValueW(), L"\u56FE\u7247 7");
    EXPECT_EQ(currentWallpaper(), wallpaperFilePath(name));
    EXPECT_EQ(wallpaperFolderNames(), std::vector<std::string>{name + ".bmp"});

    // The next command deletes the Chinese-named file through the remembered name.
    setWallpaper("Plain", 40, 30, 4);
    EXPECT_EQ(wallpaperFolderNames(), std::vector<std::string>{"Plain.bmp"});
}

TEST_F(WallpaperOnWindows, PicturesPerMonitorGoThroughTheShellWhereItHasThem) {
    // IDesktopWallpaper's monitors, primary first; Wine has none, and then the pictures
    // of further monitors are simply not set: the wallpaper itself still is.
    const std::vector<Monitor> monitors = system.desktop().monitors();
    if (!monitors.empty()) {
        EXPECT_EQ(monitors.front().rect.x, 0);
        EXPECT_EQ(monitors.front().rect.y, 0);
        for (const Monitor& monitor : monitors) EXPECT_GT(monitor.rect.width, 0) << monitor.name;
    }
    system.desktop().setWallpaperLayout({.fit = FitMode::Fill, .lockScreen = false,
                                         .monitorFiles = {"C:\\WINDOWS\\Web\\Wallpaper\\second.bmp"}});
    setWallpaper("Main", 32, 24, 8);
    EXPECT_EQ(currentWallpaper(), wallpaperFilePath("Main"));
}

TEST_F(WallpaperOnWindows, FolderFailuresAreTheSystemsCodes) {
    setWallpaper("First", 16, 16, 5);
    // A file the command did not write keeps the folder: "I/O error 145".
    ASSERT_TRUE(system.files().createFile(kWallpaperFolder + "\\other.txt", {'x'}));
    EXPECT_THROW(
        {
            try {
                setWallpaper("Second", 16, 16, 6);
            } catch (const Error& error) {
                EXPECT_STREQ(error.what(), "I/O error 145");
                throw;
            }
        },
        Error);
    EXPECT_EQ(fileNameValueA(), std::string("First\0", 6));

    // A name the system refuses: the file-creation error with the system's text.
    std::filesystem::remove(toUtf16(kWallpaperFolder + "\\other.txt"));
    try {
        setWallpaper("what?", 16, 16, 7);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), cannotCreateFileMessage(wallpaperFilePath("what?"), kErrorInvalidName));
    }
}

// Run by refused_wallpaper_folder.sh, which makes the Windows folder refuse new folders
// as it does to a standard account: the bitmaps go to the user's own folder.
class RefusedWallpaperFolder : public WallpaperOnWindows {
protected:
    void SetUp() override {
        if (!std::getenv("VELMORA_WALLPAPER_FOLDER_REFUSED")) GTEST_SKIP() << "run by refused_wallpaper_folder.sh";
        WallpaperOnWindows::SetUp();
        std::error_code ignored;
        std::filesystem::remove_all(toUtf16(userFolder), ignored);
    }
    const std::string userFolder = wallpaperFolders(system.files()).user;
};

TEST_F(RefusedWallpaperFolder, TheBitmapGoesToTheUsersOwnFolder) {
    ASSERT_EQ(userFolder, system.files().localAppDataFolder() + "\\Velmora\\Wallpaper");
    ASSERT_GT(userFolder.size(), 30u);  // C:\users\<name>\AppData\Local\...
    EXPECT_FALSE(CreateDirectoryW(toUtf16(kWallpaperFolder).c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    setWallpaper("First", 16, 16, 1);
    EXPECT_EQ(wallpaperFolderNames(userFolder), std::vector<std::string>{"First.bmp"});
    // The second use deletes the first bitmap from the user's folder.
    setWallpaper("Second", 32, 24, 2);
    EXPECT_EQ(fileNameValueA(), std::string("Second\0", 7));
    EXPECT_EQ(currentWallpaper(), userFolder + "\\Second.bmp");
    EXPECT_EQ(wallpaperFolderNames(userFolder), std::vector<std::string>{"Second.bmp"});
    EXPECT_EQ(readFileBytes(currentWallpaper()).size(), 54u + 32u * 3u * 24u);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"hide main window", "show and raise main window", "hide main window",
                                                   "show and raise main window"}));
}

}  // namespace
}  // namespace velmora
