#pragma once
// Settings as a text file of "name = value" lines ("#" starts a comment), by default
// $XDG_CONFIG_HOME/velmora/wallpaper.conf. It is rewritten atomically; a file with a
// line that is neither is reported as damaged and left exactly as it is. Only a
// regular file of at most kMaxBytes is read: a FIFO, a device or a folder at that
// path, or a larger file, is reported at once and left as it is.

#include <cstddef>
#include <string>

#include "platform/settings_store.h"

namespace velmora::platform {

class SettingsFile : public SettingsStore {
public:
    // A handful of short values take a few hundred bytes.
    static constexpr std::size_t kMaxBytes = 64 * 1024;

    SettingsFile();
    explicit SettingsFile(std::string path);

    SettingValues load() override;
    void save(const SettingValues& values) override;

    const std::string& path() const { return path_; }
    static std::string defaultPath();

private:
    std::string path_;
};

// The values of such a file's text; raises Error naming the first damaged line.
SettingValues parseSettingsText(const std::string& text, const std::string& path);
std::string settingsText(const SettingValues& values);

}  // namespace velmora::platform
