#include "platform/rotation_timer_win32.h"

#include "platform/foreign_syntax.h"
#include "platform/system_programs_win32.h"

namespace velmora::platform {
namespace {

// System32's schtasks.exe, never one found in the current folder.
bool runSchtasks(const std::vector<std::string>& argv) {
    return runSystemProgram(argv[0], std::vector<std::string>(argv.begin() + 1, argv.end()));
}

}  // namespace

TaskSchedulerTimer::TaskSchedulerTimer(std::string program, Runner run)
    : program_(std::move(program)), run_(run ? std::move(run) : Runner(runSchtasks)) {}

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
    std::string problem = foreignTextProblem(ForeignSyntax::ScheduledTask, "the collection's path", collection);
    if (problem.empty()) problem = foreignTextProblem(ForeignSyntax::ScheduledTask, "the program's path", program_);
    if (!problem.empty()) return problem;
    std::vector<std::string> arguments{"/Create", "/F", "/TN", kRotationTaskName};
    arguments.insert(arguments.end(), every.begin(), every.end());
    arguments.insert(arguments.end(), {"/TR", windowsCommandLine({program_, "--next-wallpaper", collection})});
    return schtasks(arguments);
}

std::string TaskSchedulerTimer::cancel() { return schtasks({"/Delete", "/F", "/TN", kRotationTaskName}); }

std::string TaskSchedulerTimer::pause() { return schtasks({"/Change", "/TN", kRotationTaskName, "/DISABLE"}); }

std::string TaskSchedulerTimer::resume() { return schtasks({"/Change", "/TN", kRotationTaskName, "/ENABLE"}); }

}  // namespace velmora::platform
