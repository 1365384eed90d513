#include "tests/support/fake_desktop.h"

#include <cstdio>

#include "platform/virtual_keys.h"

namespace velmora::platform {
namespace {

std::string paddedHex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

}  // namespace

bool FakeDesktop::setWallpaper(const std::string& path) {
    log_.add("SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, " + path + ", SPIF_UPDATEINIFILE)");
    wallpaper = path;
    return true;
}

unsigned FakeDesktop::mapVirtualKey(unsigned code, unsigned mapType) {
    auto it = scanCodes.find(code);
    unsigned scanCode = it != scanCodes.end() ? it->second
                        : mapType == kMapVirtualKeyToScanCode ? scanCodeOfVirtualKey(code)
                                                              : 0;
    log_.add("MapVirtualKey(" + paddedHex(code) + ", " + std::to_string(mapType) + ") = " + paddedHex(scanCode));
    return scanCode;
}

void FakeDesktop::keyboardEvent(std::uint8_t virtualKey, std::uint8_t scanCode,
                                std::uint32_t flags, std::uintptr_t extraInfo) {
    log_.add("keybd_event(" + paddedHex(virtualKey) + ", " + paddedHex(scanCode) + ", " + std::to_string(flags) +
             ", " + std::to_string(extraInfo) + ")");
}

void FakeDesktop::sleep(unsigned milliseconds) {
    log_.add("Sleep(" + std::to_string(milliseconds) + ")");
    sleptMilliseconds += milliseconds;
}

bool FakeDesktop::shellExecute(const std::string& verb, const std::string& file,
                               const std::string& parameters, unsigned showCommand) {
    log_.add("ShellExecute(" + verb + ", " + file + ", " + parameters + ", " +
             std::to_string(showCommand) + ")");
    return true;
}

}  // namespace velmora::platform
