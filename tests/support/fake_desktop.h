#pragma once
// A desktop that only records, for tests, the wallpaper layout too, and has the
// monitors a test gives it. Scan codes come from the US table unless a test sets its
// own; sleep() returns at once.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/call_log.h"
#include "platform/desktop.h"

namespace velmora::platform {

class FakeDesktop : public Desktop {
public:
    explicit FakeDesktop(CallLog& log) : log_(log) {}

    bool setWallpaper(const std::string& path) override;
    // Kept, not logged: the layout is not a platform call of its own.
    void setWallpaperLayout(const WallpaperLayout& chosen) override { layout = chosen; }
    std::vector<Monitor> monitors() override { return screens; }
    unsigned mapVirtualKey(unsigned code, unsigned mapType) override;
    void keyboardEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                       std::uintptr_t extraInfo) override;
    void sleep(unsigned milliseconds) override;
    bool shellExecute(const std::string& verb, const std::string& file,
                      const std::string& parameters, unsigned showCommand) override;

    std::map<unsigned, unsigned> scanCodes;  // overrides of the US table
    std::string wallpaper;                   // the latest path set
    unsigned sleptMilliseconds = 0;
    std::optional<WallpaperLayout> layout;  // the latest one set; none when never set
    std::vector<Monitor> screens;           // what monitors() answers

private:
    CallLog& log_;
};

}  // namespace velmora::platform
