#include "browser/file_names.h"

#include <filesystem>

namespace velmora {

namespace {

std::filesystem::path fromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string toUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

std::string currentDirectory() { return toUtf8(std::filesystem::current_path()); }

void setCurrentDirectory(const std::string& folder) { std::filesystem::current_path(fromUtf8(folder)); }

std::string absolutePath(const std::string& path) {
    return toUtf8(std::filesystem::absolute(fromUtf8(path)).lexically_normal().make_preferred());
}

std::string folderOf(const std::string& path) { return toUtf8(fromUtf8(path).parent_path()); }

std::string fileNameOf(const std::string& path) { return toUtf8(fromUtf8(path).filename()); }

std::string baseNameOf(const std::string& path) { return toUtf8(fromUtf8(path).stem()); }

}  // namespace velmora
