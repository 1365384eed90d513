// The wallpaper settings as Windows keeps them (registry values) and the values the
// command line reads; the settings file of Linux is tested through the program.

#include <string>

#include <gtest/gtest.h>

#include "base/error.h"
#include "tests/support/call_log.h"
#include "tests/support/fake_files.h"
#include "platform/memory_registry.h"
#include "wallpaper/registry_settings.h"
#include "wallpaper/wallpaper_settings.h"

namespace velmora {
namespace {

TEST(WallpaperSettingsInTheRegistry, EverySettingRoundTripsAndNothingChosenIsAbsent) {
    platform::MemoryRegistry registry;
    platform::CallLog log;
    platform::FakeFiles files(log);
    RegistrySettings store(registry, files, wallpaperSettingNames());
    EXPECT_EQ(loadWallpaperSettings(store), WallpaperSettings{});

    WallpaperSettings chosen;
    chosen.fit = platform::FitMode::Span;
    chosen.perMonitor = true;
    chosen.order = RotationOrder::Shuffle;
    chosen.rotateMinutes = 150;
    chosen.rotationPaused = true;
    chosen.lockScreen = true;
    saveWallpaperSettings(store, chosen);
    EXPECT_EQ(loadWallpaperSettings(store), chosen);
    // The key the wallpaper command tests now exists, so its folder does too, as after its first run.
    EXPECT_TRUE(files.hasFolder("C:\\WINDOWS\\Web\\Wallpaper\\myWallPaper"));
    EXPECT_EQ(store.load().at("rotate-every"), "2h30m");

    saveWallpaperSettings(store, WallpaperSettings{});
    EXPECT_TRUE(store.load().empty());
    EXPECT_EQ(loadWallpaperSettings(store), WallpaperSettings{});

    // A value another program left in a type of its own is reported, not guessed at.
    platform::RegKey key = platform::kNoKey;
    ASSERT_EQ(registry.createKey(platform::kHkeyCurrentUser, kSettingsKey, platform::kKeyAllAccess, &key), 0);
    const std::uint8_t dword[4] = {1, 0, 0, 0};
    registry.setValue(key, "fit", platform::kRegDword, dword, 4);
    registry.closeKey(key);
    EXPECT_THROW(loadWallpaperSettings(store), Error);
}

TEST(WallpaperSettingsValues, DurationsAsPeopleWriteThem) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"30m", 30}, {"2h", 120}, {"1h30m", 90}, {"45", 45}, {"1d", 1440}, {"0m", std::nullopt},
        {"", std::nullopt}, {"30s", std::nullopt}, {"m", std::nullopt}, {"-5m", std::nullopt},
        {"99999999m", std::nullopt}, {"400d", std::nullopt},
    };
    for (const auto& [text, minutes] : cases) EXPECT_EQ(parseDuration(text), minutes) << text;
    for (int minutes : {1, 30, 60, 90, 1440}) EXPECT_EQ(parseDuration(durationText(minutes)), minutes);
}

}  // namespace
}  // namespace velmora
