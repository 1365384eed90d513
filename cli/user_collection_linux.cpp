#include "cli/user_collection_linux.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

#include "base/error.h"
#include "platform/posix_file.h"
#include "platform/xdg_dirs.h"

namespace velmora {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, int err) {
    throw Error(what + " " + path + ": " + std::strerror(err));
}

}  // namespace

std::string userCollectionFolder() { return platform::xdgDataHome() + "/velmora"; }

void enterUserCollection(const std::string& folder, const std::string& templatePath) {
    if (int err = platform::makeDirectories(folder)) fail("cannot create the folder", folder, err);
    if (::chdir(folder.c_str()) != 0) fail("cannot enter the folder", folder, errno);
    if (::access("pictures.vlm", F_OK) == 0) return;

    std::string content;
    if (int err = platform::readWholeFile(templatePath, content)) {
        fail("cannot read the empty collection", templatePath, err);
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(content.data());
    int err = platform::createFileAtomically(folder + "/pictures.vlm", bytes, content.size(), 0644);
    // Another start may have made it in the meantime: theirs is kept.
    if (err != 0 && err != EEXIST) fail("cannot create", folder + "/pictures.vlm", err);
}

}  // namespace velmora
