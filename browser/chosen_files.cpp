#include "browser/chosen_files.h"

#include <exception>

#include "browser/file_names.h"

namespace velmora {

void enterFolderOfChosen(const std::vector<std::string>& chosen) {
    if (chosen.empty()) return;
    const std::string folder = folderOf(chosen.front());
    if (folder.empty()) return;
    try {
        setCurrentDirectory(folder);
    } catch (const std::exception&) {
        // The dialog has moved it already where the system does; nothing to report.
    }
}

}  // namespace velmora
