#pragma once
// What a browser under test finds around it, for the core's fixture and the Qt window's:
// a temporary current directory for its picture data files (the test's own directory
// comes back afterwards), recording registry and desktop, an in-memory clipboard and
// the URLs handed to the shell. Each fixture adds the files service it needs and the
// Platform over the three.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "store/database/collection_file.h"
#include "tests/support/call_log.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/fake_registry.h"
#include "tests/support/memory_clipboard.h"
#include "tests/support/temp_dir.h"

namespace velmora::test {

class BrowserSurroundings : public ::testing::Test {
public:
    BrowserSurroundings() : previousDirectory(std::filesystem::current_path()) {
        std::filesystem::current_path(dir.path());
    }
    ~BrowserSurroundings() override { std::filesystem::current_path(previousDirectory); }

    // Writes pictures.vlm into the current (temporary) directory.
    void makeDefaultFile(const std::vector<CollectionRecord>& records) {
        createCollection(dir.file("pictures.vlm"), records);
    }

    TempDir dir;
    std::filesystem::path previousDirectory;
    platform::CallLog calls;
    platform::FakeRegistry registry{calls};
    platform::FakeDesktop desktop{calls};
    MemoryClipboard clipboard;
    std::vector<std::string> openedUrls;
};

}  // namespace velmora::test
