#include "tests/browser/browser_fixture.h"

#include "store/picture/jpeg_picture.h"
#include "store/server/open_collection.h"
#include "tests/support/sqlite_peer.h"

namespace velmora::test {

BrowserTest::BrowserTest() = default;

// The browser goes before the directory it works in.
BrowserTest::~BrowserTest() { browser.reset(); }

std::string BrowserTest::place() const {
    return where() == Where::File ? dir.file("pictures.vlm") : database->address();
}

CollectionBrowser& BrowserTest::open(std::optional<std::string> startFile) {
    if (!startFile && where() == Where::Server) startFile = place();
    BrowserServices services;
    services.clipboard = &clipboard;
    services.platform = &platform;
    services.wallpaperSettings = &wallpaperSettings.services;
    services.languageSetting = &languageSetting;
    services.openUrl = [this](const std::string& url) { openedUrls.push_back(url); };
    browser.reset();
    browser = std::make_unique<CollectionBrowser>(services, view);
    browser->start(startFile);
    return *browser;
}

void BrowserTest::makeCollection(const std::vector<CollectionRecord>& records) {
    if (where() == Where::File) return makeDefaultFile(records);
    browser.reset();
    database = std::make_unique<ServerDatabase>(*server);
    std::unique_ptr<NewCollection> made = startCollection(place(), {{"filename"}, {"picture", ColumnKind::Bytes}});
    for (const CollectionRecord& record : records) {
        made->insert({FieldValue{record.name}, FieldValue{shareBytes(Bytes(record.picture))}});
    }
    made->finish();
}

CollectionBrowser& BrowserTest::openNames(const std::vector<std::string>& names, int width, int height) {
    makeCollection(pictureRecords(names, width, height));
    return open();
}

std::vector<std::string> BrowserTest::stored() {
    if (where() == Where::File) return namesInFile(place());
    std::vector<std::string> names;
    for (const StoredName& name : openCollection(place())->names()) names.push_back(name.name.value_or("<null>"));
    return names;
}

std::vector<Bytes> BrowserTest::storedPictures() {
    if (where() == Where::File) return picturesInFile(place());
    std::unique_ptr<CollectionStore> store = openCollection(place());
    std::vector<Bytes> pictures;
    for (const StoredName& name : store->names()) pictures.push_back(*store->picture(name.key));
    return pictures;
}

void BrowserTest::otherProgram(const std::string& sql) {
    if (where() == Where::File) {
        SqlitePeer(place()).exec(sql);
    } else {
        database->run(sql);
    }
}

std::string BrowserTest::state() const {
    return view.name + (view.states.previous ? " prev" : " -") + (view.states.next ? " next" : " -");
}

std::vector<std::string> BrowserTest::listed() {
    std::vector<std::string> names;
    for (int row = 0; row < browser->rowCount(); ++row) names.push_back(browser->rowName(row).value_or("<null>"));
    return names;
}

Bytes BrowserTest::shownBytes() {
    if (!view.picture) return {};
    SharedBytes bytes = view.picture->jpegData();
    return bytes ? *bytes : Bytes{};
}

std::string BrowserTest::put(const std::string& name, const Bytes& bytes) {
    writeFile(dir.file(name), std::string(bytes.begin(), bytes.end()));
    return dir.file(name);
}

Bytes withoutQuantizationTables(const Bytes& jpeg) {
    Bytes kept(jpeg.begin(), jpeg.begin() + 2);  // SOI
    std::size_t at = 2;
    // Segments up to the scan, each FF, marker, two length bytes and its body.
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] != 0xDA) {
        const std::size_t length = 2 + (static_cast<std::size_t>(jpeg[at + 2]) << 8 | jpeg[at + 3]);
        if (jpeg[at + 1] != 0xDB) kept.insert(kept.end(), jpeg.begin() + at, jpeg.begin() + at + length);
        at += length;
    }
    kept.insert(kept.end(), jpeg.begin() + at, jpeg.end());
    return kept;
}

}  // namespace velmora::test
