#include "browser/file_names.h"

#include <filesystem>

#include "base/utf8_path.h"

namespace velmora {

std::string currentDirectory() { return utf8Of(std::filesystem::current_path()); }

void setCurrentDirectory(const std::string& folder) { std::filesystem::current_path(pathFromUtf8(folder)); }

std::string absolutePath(const std::string& path) {
    return utf8Of(std::filesystem::absolute(pathFromUtf8(path)).lexically_normal().make_preferred());
}

std::string folderOf(const std::string& path) { return utf8Of(pathFromUtf8(path).parent_path()); }

std::string fileNameOf(const std::string& path) { return utf8Of(pathFromUtf8(path).filename()); }

std::string baseNameOf(const std::string& path) { return utf8Of(pathFromUtf8(path).stem()); }

}  // namespace velmora
