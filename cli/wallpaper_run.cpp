#include "cli/wallpaper_run.h"

#include <ostream>
#include <string>
#include <vector>

#include "base/error.h"
#include "cli/keyring_login.h"
#include "platform/message_text.h"
#include "wallpaper/wallpaper_rotation.h"
#include "wallpaper/wallpaper_settings.h"
#include "wallpaper/wallpaper_settings_change.h"

namespace velmora {
namespace {

void applyChanges(const WallpaperSettingOptions& given, WallpaperSettings& settings) {
    if (given.fit) settings.fit = platform::parseFitMode(*given.fit);  // "desktop": none
    if (given.perMonitor) settings.perMonitor = *given.perMonitor == "on";
    if (given.order) settings.order = parseRotationOrder(*given.order).value_or(RotationOrder::InTurn);
    if (given.lockScreen) settings.lockScreen = *given.lockScreen == "same";
}

// Notes in settings what the options ask of the timer, and returns the timer's steps;
// problem: why a pause or resume cannot be.
std::vector<TimerStep> timerChange(const WallpaperOptions& options, WallpaperSettings& settings, std::string& problem) {
    switch (options.action) {
    case WallpaperAction::RotateEvery:
        // Scheduled even at the same interval: the collection may be another.
        settings.rotateMinutes = options.rotateMinutes;
        settings.rotationPaused = false;
        return {options.rotateMinutes ? TimerStep::Schedule : TimerStep::Cancel};
    case WallpaperAction::PauseRotation:
    case WallpaperAction::ResumeRotation: {
        const bool pause = options.action == WallpaperAction::PauseRotation;
        if (!settings.rotateMinutes) {
            problem = std::string("rotation is off: there is nothing to ") + (pause ? "pause" : "resume") +
                      " (see --rotate-every)";
            return {};
        }
        settings.rotationPaused = pause;
        return {pause ? TimerStep::Pause : TimerStep::Resume};
    }
    default: return {};
    }
}

}  // namespace

int runWallpaperOptions(const WallpaperOptions& options, WallpaperRunServices& services, std::ostream& err,
                        platform::Keyring* keyring) {
    // The timer's runs too: a server collection's password may come from the keyring.
    const KeyringLogin login(keyring);
    try {
        const WallpaperSettings before = loadWallpaperSettings(services.settings);
        WallpaperSettings settings = before;
        applyChanges(options.settings, settings);
        std::string problem;
        const std::vector<TimerStep> steps = timerChange(options, settings, problem);
        WallpaperSettingsServices settingServices{services.settings, services.timer, services.absolutePath};
        const std::string timerProblem = changeWallpaperSettings(settingServices, before, settings, steps, options.file);
        if (problem.empty()) problem = timerProblem;
        if (!problem.empty()) throw Error(problem);

        switch (options.action) {
        case WallpaperAction::SetNamed:
        case WallpaperAction::Next:
        case WallpaperAction::Previous: {
            WallpaperChoice choice{options.action == WallpaperAction::SetNamed ? WallpaperStep::Named
                                   : options.action == WallpaperAction::Next  ? WallpaperStep::Next
                                                                              : WallpaperStep::Previous,
                                   options.name.value_or("")};
            changeWallpaper(options.file, choice, settings, services.platform);
            // The desktop has said on standard error which backend it used and how it went.
            return services.desktopTookIt() ? 0 : 1;
        }
        case WallpaperAction::LeaveOut:
        case WallpaperAction::PutBack:
            setLeftOutOfRotation(options.file, *options.name, options.action == WallpaperAction::LeaveOut);
            return 0;
        default: return 0;
        }
    } catch (const std::exception& e) {
        err << "velmora: " << platform::withClosingFullStop(e.what()) << "\n";
    }
    return 1;
}

}  // namespace velmora
