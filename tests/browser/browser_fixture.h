#pragma once
// The browser's core over a picture data file in a temporary current directory, with a
// recording view, an in-memory clipboard and recording platform services (files too).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/collection_browser.h"
#include "platform/platform.h"
#include "tests/support/browser_surroundings.h"
#include "tests/support/fake_files.h"
#include "tests/support/fake_wallpaper_settings.h"
#include "tests/support/recording_view.h"
#include "tests/support/store_fixture.h"

namespace velmora::test {

class BrowserTest : public BrowserSurroundings {
public:
    BrowserTest();
    ~BrowserTest() override;

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

    platform::FakeFiles files{calls};
    platform::Platform platform{registry, files, desktop};
    MemoryWallpaperSettings wallpaperSettings;
    MemorySettings languageSetting;
    RecordingView view;
    std::unique_ptr<CollectionBrowser> browser;
};

// A copy of a JPEG stream without its quantization tables: the headers parse, decoding
// fails.
Bytes withoutQuantizationTables(const Bytes& jpeg);

}  // namespace velmora::test
