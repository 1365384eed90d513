// Programs of Windows start from the system's folders only: the window makes the
// opened collection's folder the current one, and a schtasks.exe lying there must
// never run.
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rotation_timer_win32.h"
#include "tests/support/temp_dir.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// A task Wine's schtasks.exe makes (it makes no repeating one from /SC).
const char* const kTaskXml = "<?xml version=\"1.0\"?>\n"
                             "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
                             "  <Actions><Exec><Command>C:\\velmora.exe</Command></Exec></Actions>\n"
                             "</Task>\n";

TEST(SystemPrograms, APlantedSchtasksNeverRunsAndTheRealOneDoesTheWork) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    test::TempDir folder;
    for (const wchar_t* name : {L"schtasks.exe", L"velmora-planted.exe"})
        fs::copy_file(fs::path(self).parent_path() / L"velmora_planted_program.exe", folder.path() / name);
    test::writeFile(folder.file("task.xml"), kTaskXml);
    const fs::path before = fs::current_path();
    fs::current_path(folder.path());
    EXPECT_TRUE(platform::runSystemProgram(
        "schtasks.exe", {"/Create", "/F", "/TN", platform::kRotationTaskName, "/XML", folder.file("task.xml")}));
    platform::TaskSchedulerTimer timer("C:\\velmora.exe");
    EXPECT_EQ(timer.resume(), "");  // Wine's schtasks.exe cannot /DISABLE
    EXPECT_EQ(timer.cancel(), "");
    EXPECT_NE(timer.cancel(), "");  // the task is gone: the real schtasks.exe answered each call
    EXPECT_FALSE(platform::shellExecuteFile("open", "velmora-planted.exe", "", SW_HIDE));
    fs::current_path(before);
    EXPECT_FALSE(fs::exists(folder.path() / L"planted.txt"));

    // Paths the Task Scheduler would read as something else never reach it.
    std::vector<std::string> run;
    platform::TaskSchedulerTimer recorded("C:\\velmora.exe", [&run](const std::vector<std::string>& argv) {
        run = argv;
        return true;
    });
    for (const char* collection : {"D:\\a\rb.vlm", "D:\\caf\xE9.vlm", "D:\\%APPDATA%.vlm"})
        EXPECT_NE(recorded.schedule(30, collection), "") << collection;
    EXPECT_TRUE(run.empty());
    EXPECT_EQ(recorded.schedule(30, "D:\\it's  $x.vlm"), "");
    EXPECT_EQ(run.back(), "C:\\velmora.exe --next-wallpaper \"D:\\it's  $x.vlm\"");
}

}  // namespace
}  // namespace velmora
