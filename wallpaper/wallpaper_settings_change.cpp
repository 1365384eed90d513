#include "wallpaper/wallpaper_settings_change.h"

#include "store/database/server_address.h"

namespace velmora {

std::vector<TimerStep> timerStepsBetween(const WallpaperSettings& before, const WallpaperSettings& after) {
    std::vector<TimerStep> steps;
    bool paused = before.rotationPaused;
    if (after.rotateMinutes != before.rotateMinutes) {
        steps.push_back(after.rotateMinutes ? TimerStep::Schedule : TimerStep::Cancel);
        paused = false;  // a timer scheduled anew runs
    }
    if (after.rotateMinutes && after.rotationPaused != paused)
        steps.push_back(after.rotationPaused ? TimerStep::Pause : TimerStep::Resume);
    return steps;
}

std::string changeWallpaperSettings(WallpaperSettingsServices& services, const WallpaperSettings& before,
                                    const WallpaperSettings& after, const std::vector<TimerStep>& steps,
                                    const std::string& collection) {
    // The interval and the pause say what the timer does, so they change only with it.
    WallpaperSettings saved = after;
    saved.rotateMinutes = before.rotateMinutes;
    saved.rotationPaused = before.rotationPaused;
    // A unit file or a scheduled task is readable where a keyring is not: a server
    // collection's password stays out of it (the timer's run finds it as the user's own
    // runs do).
    auto timed = [&] {
        return isServerAddress(collection) ? addressWithoutPassword(collection) : services.absolutePath(collection);
    };
    std::string problem;
    for (TimerStep step : steps) {
        switch (step) {
        case TimerStep::Schedule:
            problem = after.rotateMinutes ? services.timer.schedule(*after.rotateMinutes, timed())
                                          : services.timer.cancel();
            if (problem.empty()) saved.rotateMinutes = after.rotateMinutes;
            break;
        case TimerStep::Cancel:
            problem = services.timer.cancel();
            if (problem.empty()) saved.rotateMinutes.reset();
            break;
        case TimerStep::Pause: problem = services.timer.pause(); break;
        case TimerStep::Resume: problem = services.timer.resume(); break;
        }
        if (!problem.empty()) break;
        saved.rotationPaused = step == TimerStep::Pause;
    }
    if (!(saved == before)) saveWallpaperSettings(services.store, saved);
    return problem;
}

}  // namespace velmora
