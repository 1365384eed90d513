#include "platform/rotation_timer_win32.h"

#include <windows.h>

#include "base/utf16.h"

namespace velmora::platform {
namespace {

bool runHidden(const std::vector<std::string>& argv) {
    std::wstring line = toUtf16(windowsCommandLine(argv));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    DWORD status = 1;
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    return status == 0;
}

}  // namespace

std::string windowsCommandLine(const std::vector<std::string>& argv) {
    std::string line;
    for (const std::string& argument : argv) {
        if (!line.empty()) line += ' ';
        if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
            line += argument;
            continue;
        }
        // Backslashes count only before a quote: doubled there, and before the closing one.
        line += '"';
        std::size_t backslashes = 0;
        for (char c : argument) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
            backslashes = 0;
            line += c;
        }
        line.append(backslashes * 2, '\\');
        line += '"';
    }
    return line;
}

TaskSchedulerTimer::TaskSchedulerTimer(std::string program, Runner run)
    : program_(std::move(program)), run_(run ? std::move(run) : Runner(runHidden)) {}

std::string TaskSchedulerTimer::schtasks(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "schtasks.exe");
    if (run_(arguments)) return "";
    return "schtasks.exe " + arguments[1] + " for the task \"" + kRotationTaskName + "\" failed";
}

std::string TaskSchedulerTimer::schedule(int minutes, const std::string& collection) {
    // schtasks repeats by minutes below a day, by days above.
    std::vector<std::string> every{"/SC", "MINUTE", "/MO", std::to_string(minutes)};
    if (minutes >= 1440) {
        if (minutes % 1440 != 0) return "the Task Scheduler repeats by whole days above one day";
        every = {"/SC", "DAILY", "/MO", std::to_string(minutes / 1440)};
    }
    std::vector<std::string> arguments{"/Create", "/F", "/TN", kRotationTaskName};
    arguments.insert(arguments.end(), every.begin(), every.end());
    arguments.insert(arguments.end(), {"/TR", windowsCommandLine({program_, "--next-wallpaper", collection})});
    return schtasks(arguments);
}

std::string TaskSchedulerTimer::cancel() { return schtasks({"/Delete", "/F", "/TN", kRotationTaskName}); }

std::string TaskSchedulerTimer::pause() { return schtasks({"/Change", "/TN", kRotationTaskName, "/DISABLE"}); }

std::string TaskSchedulerTimer::resume() { return schtasks({"/Change", "/TN", kRotationTaskName, "/ENABLE"}); }

}  // namespace velmora::platform
