#include "tests/support/clipboard_owner_x11.h"

#include <chrono>
#include <thread>

#include "tests/support/build_paths.h"
#include "tests/support/temp_dir.h"

namespace velmora::test {

std::unique_ptr<ChildProcess> startClipboardOwner(const std::string& mode, const std::string& display) {
    TempDir dir;
    ChildOptions options;
    if (!display.empty()) options.environment = {"DISPLAY=" + display};
    options.standardOutput = dir.file("said");
    auto owner = std::make_unique<ChildProcess>(
        std::vector<std::string>{binaryDir() + "/tests/clipboard_owner", mode, "300000"}, options);
    for (int i = 0; i < 500 && readFile(dir.file("said")) != "owner\n"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return owner;
}

}  // namespace velmora::test
