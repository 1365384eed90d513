// Two windows' cores on one server collection: what one renames, adds and deletes, the
// other shows within a second through the socket its core gives the view, keeping its
// current picture; a rename against a delete of the same row loses nothing.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>

#include "browser/collection_browser.h"
#include "store/server/open_collection.h"
#include "tests/support/recording_view.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_server.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

struct LiveWindow {
    explicit LiveWindow(const std::string& address) : browser(BrowserServices{}, view) { browser.start(address); }

    // Hands the core what arrives on its socket until `shows` holds, at most a second.
    bool followsWithinASecond(const std::function<bool()>& shows) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (std::chrono::steady_clock::now() < end) {
            pollfd socket{view.watchedSocket, POLLIN, 0};
            if (poll(&socket, 1, 20) == 1) browser.changesMayHaveArrived();
            view.runPosted();
            if (shows()) return true;
        }
        return false;
    }
    std::vector<std::string> listed() {
        std::vector<std::string> names;
        for (int row = 0; row < browser.rowCount(); ++row) names.push_back(browser.rowName(row).value_or("<null>"));
        return names;
    }
    Bytes shownBytes() { return view.picture ? *view.picture->jpegData() : Bytes{}; }

    RecordingView view;
    CollectionBrowser browser;
};

TEST(LiveUpdates, AWindowFollowsAnotherClientsRenamesAddsAndDeletes) {
    VELMORA_REQUIRE_SERVER(server);
    ServerDatabase database(*server);
    const std::string address = database.address();
    std::vector<Bytes> jpegs;
    {
        std::unique_ptr<NewCollection> made =
            startCollection(address, {{"filename", ColumnKind::Text}, {"picture", ColumnKind::Bytes}});
        for (const char* name : {"sky", "sea", "lake"}) {
            jpegs.push_back(tools::syntheticJpeg(48, 32, static_cast<int>(jpegs.size())));
            made->insert({FieldValue{std::string(name)}, FieldValue{shareBytes(jpegs.back())}});
        }
        made->finish();
    }
    LiveWindow a(address), b(address);
    ASSERT_GE(b.view.watchedSocket, 0);
    b.browser.next();
    a.browser.next();

    // Renamed there: the name follows here, and the current picture is not drawn again.
    a.view.dialogAnswers.push_back({"ocean"});
    a.browser.rename();
    b.view.picture.reset();
    EXPECT_TRUE(b.followsWithinASecond([&] { return b.view.name == "ocean"; }));
    EXPECT_EQ(b.listed(), (std::vector<std::string>{"sky", "ocean", "lake"}));
    EXPECT_FALSE(b.view.picture);

    // Added there: the list and the count grow, the current record stays.
    TempDir dir;
    writeFile(dir.file("river.jpg"), std::string(jpegs[0].begin(), jpegs[0].end()));
    a.view.fileAnswers.push_back({dir.file("river.jpg")});
    a.view.dialogAnswers.push_back({"river"});
    a.browser.addFromFiles();
    EXPECT_TRUE(b.followsWithinASecond([&] { return b.browser.rowCount() == 4; }));
    EXPECT_NE(b.view.countText.find('4'), std::string::npos) << b.view.countText;
    EXPECT_EQ(b.browser.currentRow(), 1);
    EXPECT_EQ(b.view.name, "ocean");

    // The current record deleted there: the one after it becomes current here.
    a.view.confirmAnswers.push_back(true);
    a.browser.moveToRow(1);
    a.browser.deletePicture();
    EXPECT_TRUE(b.followsWithinASecond([&] { return b.browser.rowCount() == 3; }));
    EXPECT_EQ(b.view.name, "lake");
    EXPECT_EQ(b.shownBytes(), jpegs[2]);
    EXPECT_TRUE(b.view.states.previous && b.view.states.next);

    // A rename there against a delete here of the same row before the news came: the
    // delete is refused with the row check's text and the renamed picture kept.
    a.browser.moveToRow(1);
    a.view.dialogAnswers.push_back({"pond"});
    a.browser.rename();
    b.view.confirmAnswers.push_back(true);
    b.browser.deletePicture();
    ASSERT_FALSE(b.view.boxes.empty());
    EXPECT_EQ(b.view.boxes.back().text,
              "Row cannot be located for updating. Some values may have been changed since it was last read.");
    EXPECT_TRUE(b.followsWithinASecond([&] { return b.view.name == "pond"; }));
    EXPECT_EQ(b.listed(), (std::vector<std::string>{"sky", "pond", "river"}));
    EXPECT_EQ(database.run("SELECT string_agg(filename, ',' ORDER BY velmora_key) FROM pictures"), "sky,pond,river");

    // This window's own rename is news for the other one only.
    b.view.dialogAnswers.push_back({"pool"});
    b.browser.rename();
    const int refreshes = b.view.nameListRefreshes;
    EXPECT_TRUE(a.followsWithinASecond([&] { return a.view.name == "pool"; }));
    EXPECT_FALSE(b.followsWithinASecond([&] { return b.view.nameListRefreshes > refreshes; }));
    EXPECT_EQ(a.view.unexpected + b.view.unexpected, 0);
}

}  // namespace
}  // namespace velmora::test
