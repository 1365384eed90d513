#pragma once
// The wallpaper settings kept in memory and a rotation timer that only records, for
// tests of what the window and the command line change.

#include <string>
#include <vector>

#include "platform/rotation_timer.h"
#include "platform/settings_store.h"
#include "wallpaper/wallpaper_settings_change.h"

namespace velmora::test {

class MemorySettings : public platform::SettingsStore {
public:
    platform::SettingValues load() override { return values; }
    void save(const platform::SettingValues& saved) override {
        values = saved;
        ++saves;
    }

    platform::SettingValues values;
    int saves = 0;
};

// Each call as "schedule 30 /path", "cancel", "pause", "resume"; a call answers
// `problem` ("" is done).
class RecordingTimer : public platform::RotationTimer {
public:
    std::string schedule(int minutes, const std::string& collection) override {
        return record("schedule " + std::to_string(minutes) + " " + collection);
    }
    std::string cancel() override { return record("cancel"); }
    std::string pause() override { return record("pause"); }
    std::string resume() override { return record("resume"); }

    std::vector<std::string> calls;
    std::string problem;

private:
    std::string record(const std::string& call) {
        calls.push_back(call);
        return problem;
    }
};

// Both, as a window's services hold them; paths are taken as absolute already.
struct MemoryWallpaperSettings {
    MemorySettings store;
    RecordingTimer timer;
    WallpaperSettingsServices services{store, timer, [](const std::string& path) { return path; }};
};

}  // namespace velmora::test
