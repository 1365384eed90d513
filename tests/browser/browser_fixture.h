#pragma once
// The browser's core over a picture data file in a temporary current directory, with a
// recording view, an in-memory clipboard and recording platform services (files too).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browser/collection_browser.h"
#include "platform/platform.h"
#include "tests/server/collection_places.h"
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

    // Where the collection lies: pictures.vlm of the folder, unless a case of OnBoth
    // says the test server.
    virtual Where where() const { return Where::File; }
    // The collection's file path or server address.
    std::string place() const;

    // A browser started on the collection, or on startFile when one is given.
    CollectionBrowser& open(std::optional<std::string> startFile = std::nullopt);
    // The collection, made anew with these records: pictures.vlm, or a new database.
    void makeCollection(const std::vector<CollectionRecord>& records);
    // The collection made with pictures of those names, then open().
    CollectionBrowser& openNames(const std::vector<std::string>& names, int width = 48, int height = 32);

    // The current name and the availability of previous and next: "B prev next".
    std::string state() const;
    // The collection's names and pictures, in its order.
    std::vector<std::string> stored();
    std::vector<Bytes> storedPictures();
    // Runs statements on the collection as another program would.
    void otherProgram(const std::string& sql);
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

protected:
    std::optional<ServerSetting> server;
    std::unique_ptr<ServerDatabase> database;
};

// A fixture's cases on a picture data file and on the test server alike.
template <class Fixture>
class OnBoth : public Fixture, public ::testing::WithParamInterface<Where> {
public:
    Where where() const override { return GetParam(); }
    void SetUp() override {
        Fixture::SetUp();
        if (GetParam() == Where::File) return;
        std::string whyNot;
        this->server = testServer(whyNot);
        if (!this->server) GTEST_SKIP() << whyNot;
    }
};

#define VELMORA_ON_FILE_AND_SERVER(fixture) \
    INSTANTIATE_TEST_SUITE_P(FileAndServer, fixture, ::testing::Values(Where::File, Where::Server), whereName)

// A copy of a JPEG stream without its quantization tables: the headers parse, decoding
// fails.
Bytes withoutQuantizationTables(const Bytes& jpeg);

}  // namespace velmora::test
