#pragma once
// The rotation timer as a Task Scheduler task, "Velmora\Next wallpaper", made,
// changed and removed with System32's schtasks.exe.

#include <functional>
#include <string>
#include <vector>

#include "platform/rotation_timer.h"
#include "platform/system_programs_win32.h"  // windowsCommandLine

namespace velmora::platform {

inline constexpr const char* kRotationTaskName = "Velmora\\Next wallpaper";

class TaskSchedulerTimer : public RotationTimer {
public:
    // Runs a program and tells whether it ended with status 0; by default System32's
    // schtasks.exe, without a console window.
    using Runner = std::function<bool(const std::vector<std::string>& argv)>;

    // program: the velmora.exe the task runs.
    explicit TaskSchedulerTimer(std::string program, Runner run = {});

    std::string schedule(int minutes, const std::string& collection) override;
    std::string cancel() override;
    std::string pause() override;
    std::string resume() override;

private:
    std::string schtasks(std::vector<std::string> arguments);

    std::string program_;
    Runner run_;
};

}  // namespace velmora::platform
