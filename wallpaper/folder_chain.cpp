#include "wallpaper/folder_chain.h"

namespace velmora {

bool createFolderChain(platform::Files& files, const std::string& folder) {
    std::string dir = folder;
    while (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
    std::size_t separator = dir.find_last_of("\\/");
    std::string parent = separator == std::string::npos ? dir : dir.substr(0, separator);
    if (dir.size() < 3 || platform::directoryExists(files, dir) || parent == dir) return true;
    return createFolderChain(files, parent) && files.createDirectory(dir);
}

}  // namespace velmora
