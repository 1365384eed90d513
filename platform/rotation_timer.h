#pragma once
// The timer that changes the wallpaper on its own: `velmora --next-wallpaper FILE`
// every so many minutes, through the system's scheduler (a systemd user timer on
// Linux, a Task Scheduler task on Windows). Each call returns "" when done, else one
// line saying what went wrong.

#include <string>

namespace velmora::platform {

class RotationTimer {
public:
    virtual ~RotationTimer() = default;
    // Starts the timer at this interval for the collection (an absolute path),
    // replacing what an earlier call set.
    virtual std::string schedule(int minutes, const std::string& collection) = 0;
    // Stops it and removes what schedule() wrote.
    virtual std::string cancel() = 0;
    // Stops it, keeping its interval and collection, also across logins; resume() starts it again.
    virtual std::string pause() = 0;
    virtual std::string resume() = 0;
};

}  // namespace velmora::platform
