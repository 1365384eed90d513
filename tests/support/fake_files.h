#pragma once
// Files in memory with the Win32 semantics of LinuxFiles, recording every call, for
// tests. Paths are Windows paths ("C:\..." or "/..."); the roots always exist and
// relative paths resolve against workingDirectory.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/support/call_log.h"
#include "platform/files.h"

namespace velmora::platform {

class FakeFiles : public Files {
public:
    explicit FakeFiles(CallLog& log) : log_(log) {}

    bool deleteFile(const std::string& path) override;
    bool removeDirectory(const std::string& path) override;
    bool createDirectory(const std::string& path) override;
    std::uint32_t fileAttributes(const std::string& path) override;
    bool createFile(const std::string& path, const Bytes& content) override;
    bool copyFile(const std::string& existingPath, const std::string& newPath,
                  bool failIfExists) override;
    std::string currentDirectory() override;
    unsigned lastError() const override { return lastError_; }

    // Arranging and inspecting without recording. putFile creates missing folders.
    void putFolder(const std::string& path);
    void putFile(const std::string& path, Bytes content = {});
    bool hasFolder(const std::string& path) const;
    bool hasFile(const std::string& path) const;
    const Bytes* fileContent(const std::string& path) const;
    // The names (as created) of the files and folders directly inside path.
    std::vector<std::string> list(const std::string& path) const;

    std::string workingDirectory = "C:\\work";
    // Nonzero: every such call fails with that code.
    unsigned failRemoveDirectory = 0;
    unsigned failDeleteFile = 0;

private:
    struct Entry {
        std::string path;  // as created
        bool folder = false;
        Bytes content;
    };
    // The matching key of path, or "" with lastError_ set when the name is bad.
    std::string key(const std::string& path);
    // The absolute path, or "" when the name is bad; keyOf() folds its case.
    std::string resolved(const std::string& path) const;
    std::string keyOf(const std::string& path) const;
    // The folder part of a resolved path or key ("C:\" and "\" are roots).
    static std::string parentKey(const std::string& key);
    bool record(const std::string& call, bool ok);
    bool fail(unsigned code);

    CallLog& log_;
    std::map<std::string, Entry> entries_;  // by folded full path
    unsigned lastError_ = 0;
};

}  // namespace velmora::platform
