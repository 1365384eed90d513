#pragma once
// The rotation timer as systemd's user timer velmora-next-wallpaper.timer (installed
// with the program, see data/systemd/): its interval, the collection and this very
// program go into drop-ins under $XDG_CONFIG_HOME/systemd/user, and systemctl --user
// enables or disables it.

#include <string>

#include "platform/desktop_services.h"
#include "platform/rotation_timer.h"

namespace velmora::platform {

inline constexpr const char* kRotationTimerUnit = "velmora-next-wallpaper.timer";
inline constexpr const char* kRotationServiceUnit = "velmora-next-wallpaper.service";

class SystemdRotationTimer : public RotationTimer {
public:
    // program: the velmora the timer runs; unitFolder: where the drop-ins go (by
    // default $XDG_CONFIG_HOME/systemd/user). Programs run through services.run.
    SystemdRotationTimer(std::string program, DesktopServices services, std::string unitFolder = "");

    std::string schedule(int minutes, const std::string& collection) override;
    std::string cancel() override;
    std::string pause() override;
    std::string resume() override;

    std::string timerDropIn() const;    // the file holding the interval
    std::string serviceDropIn() const;  // the file holding the collection and the program

private:
    std::string systemctl(const std::vector<std::string>& arguments);

    std::string program_;
    DesktopServices services_;
    std::string unitFolder_;
};

// A value for a unit file's quoted word: backslashes and quotes escaped, "%" doubled.
std::string unitFileQuoted(const std::string& text);

}  // namespace velmora::platform
