#include "app/wallpaper_run.h"

#include <ostream>

#include "base/error.h"
#include "platform/message_text.h"
#include "wallpaper/wallpaper_rotation.h"
#include "wallpaper/wallpaper_settings.h"

namespace velmora {
namespace {

void applyChanges(const WallpaperSettingOptions& given, WallpaperSettings& settings) {
    if (given.fit) settings.fit = platform::parseFitMode(*given.fit);  // "desktop": none
    if (given.perMonitor) settings.perMonitor = *given.perMonitor == "on";
    if (given.order) settings.order = parseRotationOrder(*given.order).value_or(RotationOrder::InTurn);
    if (given.lockScreen) settings.lockScreen = *given.lockScreen == "same";
}

// Asks the timer for what the options say and notes it in settings; "" when it did it.
std::string runTimer(const WallpaperOptions& options, WallpaperRunServices& services, WallpaperSettings& settings) {
    std::string problem;
    switch (options.action) {
    case WallpaperAction::RotateEvery:
        if (options.rotateMinutes) {
            problem = services.timer.schedule(*options.rotateMinutes, services.absolutePath(options.file));
        } else {
            problem = services.timer.cancel();
        }
        settings.rotateMinutes = options.rotateMinutes;
        settings.rotationPaused = false;
        break;
    case WallpaperAction::PauseRotation:
        if (!settings.rotateMinutes) return "rotation is off: there is nothing to pause (see --rotate-every)";
        problem = services.timer.pause();
        settings.rotationPaused = true;
        break;
    case WallpaperAction::ResumeRotation:
        if (!settings.rotateMinutes) return "rotation is off: there is nothing to resume (see --rotate-every)";
        problem = services.timer.resume();
        settings.rotationPaused = false;
        break;
    default: break;
    }
    return problem;
}

}  // namespace

int runWallpaperOptions(const WallpaperOptions& options, WallpaperRunServices& services, std::ostream& err) {
    try {
        WallpaperSettings settings = loadWallpaperSettings(services.settings);
        const WallpaperSettings before = settings;
        applyChanges(options.settings, settings);
        // The timer's part is kept only once the timer did what was asked.
        WallpaperSettings timed = settings;
        std::string problem = runTimer(options, services, timed);
        if (problem.empty()) settings = timed;
        if (!(settings == before)) saveWallpaperSettings(services.settings, settings);
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
