#include "wallpaper/wallpaper_settings.h"

#include <cctype>

#include "base/error.h"

namespace velmora {
namespace {

using platform::SettingValues;

const char* const kFit = "fit";
const char* const kPerMonitor = "per-monitor";
const char* const kOrder = "order";
const char* const kRotateEvery = "rotate-every";
const char* const kPaused = "rotation-paused";
const char* const kLockScreen = "lock-screen";

// At most the first maxCharacters UTF-8 characters of text, then "…" when some were left off:
// a message names a value without carrying all of it.
std::string shortQuote(const std::string& text, std::size_t maxCharacters = 40) {
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const bool startsCharacter = (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == maxCharacters) return text.substr(0, at) + "\u2026";
    }
    return text;
}

[[noreturn]] void unreadable(const std::string& name, const std::string& value) {
    throw Error("The wallpaper setting " + name + " has a value this program cannot read: \"" + shortQuote(value) +
                "\"; it is left as it is");
}

bool readSwitch(const SettingValues& values, const char* name, const char* on, const char* off) {
    auto found = values.find(name);
    if (found == values.end()) return false;
    if (found->second == on) return true;
    if (found->second != off) unreadable(name, found->second);
    return false;
}

}  // namespace

const std::vector<std::string>& wallpaperSettingNames() {
    static const std::vector<std::string> names{kFit, kPerMonitor, kOrder, kRotateEvery, kPaused, kLockScreen};
    return names;
}

const char* rotationOrderName(RotationOrder order) { return order == RotationOrder::Shuffle ? "shuffle" : "in-turn"; }

std::optional<RotationOrder> parseRotationOrder(const std::string& name) {
    if (name == "in-turn") return RotationOrder::InTurn;
    if (name == "shuffle") return RotationOrder::Shuffle;
    return std::nullopt;
}

std::optional<int> parseDuration(const std::string& text) {
    constexpr long kYear = 366L * 24 * 60;
    long total = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        long number = 0;
        std::size_t digits = 0;
        for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && digits < 7; ++at, ++digits)
            number = number * 10 + (text[at] - '0');
        if (digits == 0) return std::nullopt;
        long unit = 1;
        if (at < text.size() && (text[at] == 'h' || text[at] == 'm' || text[at] == 'd')) {
            unit = text[at] == 'd' ? 24 * 60 : text[at] == 'h' ? 60 : 1;
            ++at;
        } else if (at < text.size()) {
            return std::nullopt;
        }
        total += number * unit;
        if (total > kYear) return std::nullopt;
    }
    if (total <= 0) return std::nullopt;
    return static_cast<int>(total);
}

std::string durationText(int minutes) {
    std::string text;
    if (minutes >= 60) text += std::to_string(minutes / 60) + "h";
    if (minutes % 60 != 0 || minutes < 60) text += std::to_string(minutes % 60) + "m";
    return text;
}

WallpaperSettings loadWallpaperSettings(platform::SettingsStore& store) {
    const SettingValues values = store.load();
    WallpaperSettings settings;
    if (auto found = values.find(kFit); found != values.end() && found->second != "desktop") {
        settings.fit = platform::parseFitMode(found->second);
        if (!settings.fit) unreadable(kFit, found->second);
    }
    settings.perMonitor = readSwitch(values, kPerMonitor, "on", "off");
    if (auto found = values.find(kOrder); found != values.end()) {
        auto order = parseRotationOrder(found->second);
        if (!order) unreadable(kOrder, found->second);
        settings.order = *order;
    }
    if (auto found = values.find(kRotateEvery); found != values.end() && found->second != "off") {
        settings.rotateMinutes = parseDuration(found->second);
        if (!settings.rotateMinutes) unreadable(kRotateEvery, found->second);
    }
    settings.rotationPaused = readSwitch(values, kPaused, "yes", "no");
    settings.lockScreen = readSwitch(values, kLockScreen, "same", "off");
    return settings;
}

void saveWallpaperSettings(platform::SettingsStore& store, const WallpaperSettings& settings) {
    SettingValues values = store.load();
    // A setting never chosen stays absent, so the file says only what the user chose.
    auto put = [&values](const char* name, bool chosen, const std::string& value) {
        if (chosen) {
            values[name] = value;
        } else {
            values.erase(name);
        }
    };
    put(kFit, settings.fit.has_value(), settings.fit ? platform::fitModeName(*settings.fit) : "");
    put(kPerMonitor, settings.perMonitor, "on");
    put(kOrder, settings.order != RotationOrder::InTurn, rotationOrderName(settings.order));
    put(kRotateEvery, settings.rotateMinutes.has_value(), settings.rotateMinutes ? durationText(*settings.rotateMinutes) : "");
    put(kPaused, settings.rotationPaused, "yes");
    put(kLockScreen, settings.lockScreen, "same");
    store.save(values);
}

}  // namespace velmora
