#include "platform/settings_file_linux.h"

#include <cerrno>
#include <cstring>

#include "base/error.h"
#include "platform/posix_file.h"
#include "platform/xdg_dirs.h"

namespace velmora::platform {
namespace {

std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

[[noreturn]] void fail(const std::string& path, const std::string& why) {
    throw Error("The settings file \"" + path + "\" " + why);
}

}  // namespace

SettingValues parseSettingsText(const std::string& text, const std::string& path) {
    SettingValues values;
    std::size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        std::size_t equals = line.find('=');
        std::string name = equals == std::string::npos ? "" : trimmed(line.substr(0, equals));
        if (name.empty() || line.find('\0') != std::string::npos)
            fail(path, "is damaged at line " + std::to_string(number) + "; it is left as it is");
        values[name] = trimmed(line.substr(equals + 1));
    }
    return values;
}

std::string settingsText(const SettingValues& values) {
    std::string text = "# Velmora's settings, written by velmora (see velmora --help).\n";
    for (const auto& [name, value] : values) text += name + " = " + value + "\n";
    return text;
}

SettingsFile::SettingsFile() : path_(defaultPath()) {}

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

std::string SettingsFile::defaultPath() { return xdgConfigHome() + "/velmora/wallpaper.conf"; }

SettingValues SettingsFile::load() {
    std::string text;
    int err = readSmallFile(path_, kMaxBytes, text);
    if (err == ENOENT) return {};
    if (err == kNotARegularFile) fail(path_, "is not a regular file; it is left as it is");
    if (err == kFileTooLarge)
        fail(path_, "is larger than " + std::to_string(kMaxBytes / 1024) + " KiB; it is left as it is");
    if (err != 0) fail(path_, std::string("cannot be read: ") + std::strerror(err));
    return parseSettingsText(text, path_);
}

void SettingsFile::save(const SettingValues& values) {
    // A damaged file raises here, before anything is written.
    load();
    const std::string text = settingsText(values);
    int err = makeDirectories(parentFolder(path_));
    if (err == 0)
        err = writeFileAtomically(path_, reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), 0600);
    if (err != 0) fail(path_, std::string("cannot be written: ") + std::strerror(err));
}

}  // namespace velmora::platform
