#pragma once
// The file calls of Win32 on Windows paths. Each call returns whether it succeeded;
// lastError() is then the Win32 code of the latest failure (GetLastError).

#include <cstdint>
#include <string>
#include <vector>

#include "base/bytes.h"

namespace velmora::platform {

constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
constexpr std::uint32_t kFileAttributeReadonly = 0x01;
constexpr std::uint32_t kFileAttributeDirectory = 0x10;
constexpr std::uint32_t kFileAttributeArchive = 0x20;

class Files {
public:
    virtual ~Files() = default;

    virtual bool deleteFile(const std::string& path) = 0;       // DeleteFile
    virtual bool removeDirectory(const std::string& path) = 0;  // RemoveDirectory: only an empty one
    virtual bool createDirectory(const std::string& path) = 0;  // CreateDirectory: the parent must exist
    // GetFileAttributes: kInvalidFileAttributes when the path does not exist.
    virtual std::uint32_t fileAttributes(const std::string& path) = 0;
    // CreateFile(CREATE_ALWAYS), WriteFile of content, CloseHandle: the file holds
    // exactly content afterwards, or is left as it was.
    virtual bool createFile(const std::string& path, const Bytes& content) = 0;
    // createFile of the runs' bytes one after another; a large file need not be
    // joined in memory first.
    virtual bool createFileFromRuns(const std::string& path, const std::vector<ByteRun>& runs);
    // CopyFile; with failIfExists an existing newPath is kept and the call fails (80).
    virtual bool copyFile(const std::string& existingPath, const std::string& newPath,
                          bool failIfExists) = 0;
    virtual std::string currentDirectory() = 0;  // GetCurrentDirectory
    // The user's own folder for program data (%LOCALAPPDATA%); "" where there is none.
    virtual std::string localAppDataFolder() { return ""; }
    virtual unsigned lastError() const = 0;      // GetLastError
};

inline bool Files::createFileFromRuns(const std::string& path, const std::vector<ByteRun>& runs) {
    Bytes content;
    for (const ByteRun& run : runs) content.insert(content.end(), run.data, run.data + run.size);
    return createFile(path, content);
}

inline bool directoryExists(Files& files, const std::string& path) {
    std::uint32_t attributes = files.fileAttributes(path);
    return attributes != kInvalidFileAttributes && (attributes & kFileAttributeDirectory) != 0;
}

}  // namespace velmora::platform
