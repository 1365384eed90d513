// Whole-file reading over InputFile, the same on every system.
#include "store/imagefile/file_access.h"

namespace velmora {

Bytes readFileBytes(const std::string& path) {
    InputFile file(path);
    // Straight into the result, without a bounce buffer.
    Bytes bytes(static_cast<std::size_t>(file.size()));
    bytes.resize(file.readAt(0, bytes.data(), bytes.size()));
    if (bytes.size() == file.size()) {
        // Some files report no size, and a file may have grown since it was opened.
        std::uint8_t block[65536];
        while (const std::size_t n = file.readAt(bytes.size(), block, sizeof block)) {
            bytes.insert(bytes.end(), block, block + n);
        }
    }
    return bytes;
}

}  // namespace velmora
