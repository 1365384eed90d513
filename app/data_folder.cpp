#include "app/data_folder.h"

#include <filesystem>
#include <system_error>

namespace velmora {

std::string dataFolder() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        std::filesystem::path beside = (program.parent_path() / VELMORA_DATA_FROM_BIN).lexically_normal();
        if (std::filesystem::is_directory(beside, error)) return beside.string();
    }
    return VELMORA_INSTALLED_DATA_DIR;
}

std::string emptyCollectionPath() { return dataFolder() + "/empty-collection.vlm"; }

}  // namespace velmora
