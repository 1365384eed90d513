#pragma once
// The file calls on Windows itself: UTF-8 paths become UTF-16 for the "W" calls,
// lastError() is GetLastError() of the failed call. createFile() replaces the file
// atomically (a sibling written, flushed and moved over it).

#include "platform/files.h"

namespace velmora::platform {

class WindowsFiles : public Files {
public:
    bool deleteFile(const std::string& path) override;
    bool removeDirectory(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    std::uint32_t fileAttributes(const std::string& path) override;
    bool createFile(const std::string& path, const Bytes& content) override;
    bool copyFile(const std::string& existingPath, const std::string& newPath,
                  bool failIfExists) override;
    std::string currentDirectory() override;
    std::string localAppDataFolder() override;  // SHGetKnownFolderPath(FOLDERID_LocalAppData)
    unsigned lastError() const override { return lastError_; }

private:
    // Keeps GetLastError() when ok is false.
    bool outcome(bool ok);

    unsigned lastError_ = 0;
};

}  // namespace velmora::platform
