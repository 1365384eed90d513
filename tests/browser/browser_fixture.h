#pragma once
// The browser's core over a picture data file in a temporary current directory, with a
// recording view, an in-memory clipboard and recording platform services.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/collection_browser.h"
#include "platform/platform.h"
#include "tests/support/call_log.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/fake_files.h"
#include "tests/support/fake_registry.h"
#include "tests/support/fake_wallpaper_settings.h"
#include "tests/support/memory_clipboard.h"
#include "tests/support/recording_view.h"
#include "tests/support/store_fixture.h"
#include "tests/support/temp_dir.h"

namespace velmora::test {

class BrowserTest : public ::testing::Test {
public:
    BrowserTest();
    ~BrowserTest() override;

    // Writes pictures.vlm into the current (temporary) directory.
    void makeDefaultFile(const std::vector<tools::CollectionRecord>& records);
    // A browser started on the default file, or on startFile when one is given.
    CollectionBrowser& open(std::optional<std::string> startFile = std::nullopt);
    // makeDefaultFile() with pictures of those names, then open().
    CollectionBrowser& openNames(const std::vector<std::string>& names, int width = 48, int height = 32);

    // The current name and the availability of previous and next: "B prev next".
    std::string state() const;
    // The names of pictures.vlm, in rowid order.
    std::vector<std::string> stored() { return namesInFile(dir.file("pictures.vlm")); }
    // The names the list shows, in order.
    std::vector<std::string> listed();
    // The JPEG bytes the picture area shows (empty when it shows none).
    Bytes shownBytes();
    // A file in the temporary directory holding bytes.
    std::string put(const std::string& name, const Bytes& bytes);

    TempDir dir;
    std::filesystem::path previousDirectory;
    platform::CallLog calls;
    platform::FakeRegistry registry{calls};
    platform::FakeFiles files{calls};
    platform::FakeDesktop desktop{calls};
    platform::Platform platform{registry, files, desktop};
    MemoryClipboard clipboard;
    MemoryWallpaperSettings wallpaperSettings;
    std::vector<std::string> openedUrls;
    RecordingView view;
    std::unique_ptr<CollectionBrowser> browser;
};

// A copy of a JPEG stream without its quantization tables: the headers parse, decoding
// fails.
Bytes withoutQuantizationTables(const Bytes& jpeg);

}  // namespace velmora::test
