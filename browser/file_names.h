#pragma once
// File names and the current directory as the browser uses them: UTF-8 text on
// every system, separators as the system writes them.

#include <string>

namespace velmora {

// The process's current directory.
std::string currentDirectory();
// Makes folder the current directory (raises the system's error when it cannot).
void setCurrentDirectory(const std::string& folder);
// path made absolute against the current directory, "." and ".." parts resolved.
std::string absolutePath(const std::string& path);
// The folder part of an absolute path.
std::string folderOf(const std::string& path);
// The name part: "b.tar.gz" for "a/b.tar.gz".
std::string fileNameOf(const std::string& path);
// The name part without its last extension: "b.tar" for "a/b.tar.gz".
std::string baseNameOf(const std::string& path);

}  // namespace velmora
