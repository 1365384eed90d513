#include "platform/rotation_timer_linux.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/foreign_syntax.h"
#include "platform/posix_file.h"
#include "platform/xdg_dirs.h"

namespace velmora::platform {
namespace {

int writeText(const std::string& path, const std::string& text) {
    int err = makeDirectories(parentFolder(path));
    if (err != 0) return err;
    return writeFileAtomically(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), 0644);
}

std::string failedWrite(const std::string& path, int err) {
    return "cannot write " + path + ": " + std::strerror(err);
}

}  // namespace

std::string unitFileQuoted(const std::string& text) {
    std::string word = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') word += '\\';
        if (c == '%') word += '%';
        word += c;
    }
    return word + "\"";
}

SystemdRotationTimer::SystemdRotationTimer(std::string program, DesktopServices services, std::string unitFolder)
    : program_(std::move(program)),
      services_(std::move(services)),
      unitFolder_(unitFolder.empty() ? xdgConfigHome() + "/systemd/user" : std::move(unitFolder)) {}

std::string SystemdRotationTimer::timerDropIn() const {
    return unitFolder_ + "/" + kRotationTimerUnit + ".d/velmora-interval.conf";
}

std::string SystemdRotationTimer::serviceDropIn() const {
    return unitFolder_ + "/" + kRotationServiceUnit + ".d/velmora-collection.conf";
}

std::string SystemdRotationTimer::systemctl(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{"systemctl", "--user"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    if (!services_.programOnPath("systemctl")) return "systemctl is not installed: no user timer can run";
    if (services_.run(argv)) return "";
    std::string line = "systemctl";
    for (std::size_t i = 1; i < argv.size(); ++i) line += " " + argv[i];
    return line + " failed (is a systemd user manager running, and " + kRotationTimerUnit + " installed?)";
}

std::string SystemdRotationTimer::schedule(int minutes, const std::string& collection) {
    // Nothing is written for a path systemd would read as more lines, or drop.
    std::string problem = foreignTextProblem(ForeignSyntax::SystemdUnit, "the collection's path", collection);
    if (problem.empty()) problem = foreignTextProblem(ForeignSyntax::SystemdProgram, "the program's path", program_);
    if (!problem.empty()) return problem;
    const std::string timer = "# Written by velmora --rotate-every; velmora --rotate-every off removes it.\n"
                              "[Timer]\n"
                              "OnUnitActiveSec=\n"
                              "OnUnitActiveSec=" + std::to_string(minutes) + "min\n";
    // The program that was asked is the one the timer runs, wherever it is installed.
    const std::string service = "# Written by velmora --rotate-every; velmora --rotate-every off removes it.\n"
                                "[Service]\n"
                                "Environment=" + unitFileQuoted("VELMORA_COLLECTION=" + collection) + "\n"
                                "ExecStart=\n"
                                "ExecStart=" + unitFileQuoted(program_) + " --next-wallpaper ${VELMORA_COLLECTION}\n";
    if (int err = writeText(timerDropIn(), timer)) return failedWrite(timerDropIn(), err);
    if (int err = writeText(serviceDropIn(), service)) return failedWrite(serviceDropIn(), err);
    problem = systemctl({"daemon-reload"});
    if (problem.empty()) problem = systemctl({"enable", kRotationTimerUnit});
    // A restart starts the new interval now, whether or not the timer ran before.
    if (problem.empty()) problem = systemctl({"restart", kRotationTimerUnit});
    return problem;
}

std::string SystemdRotationTimer::cancel() {
    for (const std::string& file : {timerDropIn(), serviceDropIn()}) {
        if (std::remove(file.c_str()) != 0 && errno != ENOENT) return "cannot remove " + file + ": " + std::strerror(errno);
        std::remove(parentFolder(file).c_str());  // only when empty
    }
    std::string problem = systemctl({"disable", "--now", kRotationTimerUnit});
    if (problem.empty()) problem = systemctl({"daemon-reload"});
    return problem;
}

std::string SystemdRotationTimer::pause() { return systemctl({"disable", "--now", kRotationTimerUnit}); }

std::string SystemdRotationTimer::resume() { return systemctl({"enable", "--now", kRotationTimerUnit}); }

}  // namespace velmora::platform
