#pragma once
// Points HOME, XDG_CONFIG_HOME and XDG_DATA_HOME into a temporary folder for one
// test, so the registry hive and the drive folders live there, and puts them back.

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"

namespace velmora::test {

class XdgSandbox {
public:
    XdgSandbox() {
        set("HOME", dir_.file("home"));
        set("XDG_CONFIG_HOME", dir_.file("config"));
        set("XDG_DATA_HOME", dir_.file("data"));
    }
    ~XdgSandbox() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) {
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            } else {
                ::unsetenv(it->first.c_str());
            }
        }
    }
    XdgSandbox(const XdgSandbox&) = delete;
    XdgSandbox& operator=(const XdgSandbox&) = delete;

    const TempDir& dir() const { return dir_; }
    std::string hiveFile() const { return dir_.file("config/velmora/HKEY_CURRENT_USER.hive"); }
    std::string driveC() const { return dir_.file("data/velmora/drive_c"); }

private:
    void set(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name.c_str(), value.c_str(), 1);
    }

    TempDir dir_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace velmora::test
