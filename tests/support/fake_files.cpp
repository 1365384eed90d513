#include "tests/support/fake_files.h"

#include "platform/ascii_case.h"
#include "base/system_error.h"
#include "platform/windows_path.h"

namespace velmora::platform {
namespace {

bool isRootKey(const std::string& key) {
    return key == "\\" || (key.size() == 3 && key[1] == ':');
}

}  // namespace

std::string FakeFiles::resolved(const std::string& path) const {
    WindowsPath parsed;
    if (parseWindowsPath(path, parsed) != kErrorSuccess) return "";
    // Relative names resolve against the current directory, as the system does.
    if (!parsed.absolute && parseWindowsPath(workingDirectory + "\\" + path, parsed) != kErrorSuccess)
        return "";
    return parsed.text();
}

std::string FakeFiles::keyOf(const std::string& path) const {
    return foldAsciiCase(resolved(path));
}

bool FakeFiles::fail(unsigned code) {
    lastError_ = code;
    return false;
}

bool FakeFiles::record(const std::string& call, bool ok) {
    log_.add(call + " = " + (ok ? "ok" : "error " + std::to_string(lastError_)));
    return ok;
}

std::string FakeFiles::key(const std::string& path) {
    std::string found = keyOf(path);
    if (found.empty()) lastError_ = kErrorInvalidName;
    return found;
}

std::string FakeFiles::parentKey(const std::string& key) {
    std::size_t slash = key.find_last_of('\\');
    if (slash == std::string::npos || slash + 1 == key.size()) return "";
    std::string parent = key.substr(0, slash + 1);  // "c:\" or "\" stay roots
    return isRootKey(parent) ? parent : key.substr(0, slash);
}

bool FakeFiles::deleteFile(const std::string& path) {
    std::string k = key(path);
    bool ok = false;
    if (k.empty()) {
    } else if (failDeleteFile != 0) {
        fail(failDeleteFile);
    } else if (auto it = entries_.find(k); it == entries_.end()) {
        fail(hasFolder(parentKey(k)) ? kErrorFileNotFound : kErrorPathNotFound);
    } else if (it->second.folder) {
        fail(kErrorAccessDenied);
    } else {
        entries_.erase(it);
        ok = true;
    }
    return record("DeleteFile(" + path + ")", ok);
}

bool FakeFiles::removeDirectory(const std::string& path) {
    std::string k = key(path);
    bool ok = false;
    if (k.empty()) {
    } else if (failRemoveDirectory != 0) {
        fail(failRemoveDirectory);
    } else if (auto it = entries_.find(k); it == entries_.end()) {
        fail(hasFolder(parentKey(k)) ? kErrorFileNotFound : kErrorPathNotFound);
    } else if (!it->second.folder) {
        fail(kErrorDirectory);
    } else if (!list(path).empty()) {
        fail(kErrorDirNotEmpty);
    } else {
        entries_.erase(it);
        ok = true;
    }
    return record("RemoveDirectory(" + path + ")", ok);
}

bool FakeFiles::createDirectory(const std::string& path) {
    std::string k = key(path);
    bool ok = false;
    if (k.empty()) {
    } else if (entries_.count(k) || isRootKey(k)) {
        fail(kErrorAlreadyExists);
    } else if (!hasFolder(parentKey(k))) {
        fail(kErrorPathNotFound);
    } else {
        entries_[k] = Entry{resolved(path), true, {}};
        ok = true;
    }
    return record("CreateDirectory(" + path + ")", ok);
}

std::uint32_t FakeFiles::fileAttributes(const std::string& path) {
    std::string k = key(path);
    std::uint32_t attributes = kInvalidFileAttributes;
    if (k.empty()) {
    } else if (hasFolder(path)) {
        attributes = kFileAttributeDirectory;
    } else if (entries_.count(k)) {
        attributes = kFileAttributeArchive;
    } else {
        fail(hasFolder(parentKey(k)) ? kErrorFileNotFound : kErrorPathNotFound);
    }
    log_.add("GetFileAttributes(" + path + ") = " +
             (attributes == kInvalidFileAttributes ? "invalid" : std::to_string(attributes)));
    return attributes;
}

bool FakeFiles::createFile(const std::string& path, const Bytes& content) {
    std::string k = key(path);
    bool ok = false;
    if (k.empty()) {
    } else if (!hasFolder(parentKey(k))) {
        fail(kErrorPathNotFound);
    } else if (auto it = entries_.find(k); it != entries_.end() && it->second.folder) {
        fail(kErrorAccessDenied);
    } else {
        entries_[k] = Entry{resolved(path), false, content};
        ok = true;
    }
    return record("CreateFile(" + path + ", " + std::to_string(content.size()) + " bytes)", ok);
}

bool FakeFiles::copyFile(const std::string& existingPath, const std::string& newPath,
                         bool failIfExists) {
    std::string from = key(existingPath);
    std::string to = from.empty() ? "" : key(newPath);
    bool ok = false;
    if (from.empty() || to.empty()) {
    } else if (auto it = entries_.find(from); it == entries_.end() || it->second.folder) {
        fail(it == entries_.end() ? kErrorFileNotFound : kErrorAccessDenied);
    } else if (failIfExists && entries_.count(to)) {
        fail(kErrorFileExists);
    } else if (!hasFolder(parentKey(to))) {
        fail(kErrorPathNotFound);
    } else {
        entries_[to] = Entry{resolved(newPath), false, it->second.content};
        ok = true;
    }
    return record("CopyFile(" + existingPath + ", " + newPath + ")", ok);
}

std::string FakeFiles::currentDirectory() {
    log_.add("GetCurrentDirectory() = " + workingDirectory);
    return workingDirectory;
}

void FakeFiles::putFolder(const std::string& path) {
    std::string full = resolved(path);
    if (full.empty() || isRootKey(full) || hasFolder(full)) return;
    putFolder(parentKey(full));
    entries_[foldAsciiCase(full)] = Entry{full, true, {}};
}

void FakeFiles::putFile(const std::string& path, Bytes content) {
    std::string full = resolved(path);
    if (full.empty()) return;
    putFolder(parentKey(full));
    entries_[foldAsciiCase(full)] = Entry{full, false, std::move(content)};
}

bool FakeFiles::hasFolder(const std::string& path) const {
    std::string k = keyOf(path);
    if (isRootKey(k)) return true;
    auto it = entries_.find(k);
    return it != entries_.end() && it->second.folder;
}

bool FakeFiles::hasFile(const std::string& path) const {
    return fileContent(path) != nullptr;
}

const Bytes* FakeFiles::fileContent(const std::string& path) const {
    auto it = entries_.find(keyOf(path));
    return it == entries_.end() || it->second.folder ? nullptr : &it->second.content;
}

std::vector<std::string> FakeFiles::list(const std::string& path) const {
    std::string k = keyOf(path);
    std::vector<std::string> names;
    for (const auto& [entryKey, entry] : entries_) {
        if (parentKey(entryKey) == k) names.push_back(entry.path.substr(entry.path.find_last_of("\\/") + 1));
    }
    return names;
}

}  // namespace velmora::platform
