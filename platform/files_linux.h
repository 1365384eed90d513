#pragma once
// The Win32 file calls on this machine: Windows paths go through hostPath()
// (drive_folder.h), errno becomes the Win32 code Windows reports for the same case.

#include "platform/files.h"

namespace velmora::platform {

class LinuxFiles : public Files {
public:
    bool deleteFile(const std::string& path) override;
    bool removeDirectory(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    std::uint32_t fileAttributes(const std::string& path) override;
    bool createFile(const std::string& path, const Bytes& content) override;
    bool createFileFromRuns(const std::string& path, const std::vector<ByteRun>& runs) override;
    bool copyFile(const std::string& existingPath, const std::string& newPath,
                  bool failIfExists) override;
    std::string currentDirectory() override;
    unsigned lastError() const override { return lastError_; }

private:
    // Maps path; on failure records the code and returns false.
    bool map(const std::string& path, std::string& host);
    bool fail(unsigned code);
    // errno after a call on host: ENOENT is "file not found" when the folder exists,
    // else "path not found", as Windows tells them apart.
    bool failWithErrno(int err, const std::string& host);

    unsigned lastError_ = 0;
};

}  // namespace velmora::platform
