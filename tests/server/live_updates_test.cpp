// Two windows' cores on one server collection: what one renames, adds and deletes, the
// other shows within a second through the socket its core gives the view.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>

#include "browser/collection_browser.h"
#include "tests/support/recording_view.h"
#include "tests/support/test_server.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

struct LiveWindow {
    explicit LiveWindow(const std::string& address) : browser(BrowserServices{}, view) { browser.start(address); }
    // Hands the core what arrives on its socket until `shows` holds, at most a second.
    bool follows(const std::function<bool()>& shows) {
        for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1); std::chrono::steady_clock::now() < end;) {
            pollfd socket{view.watchedSocket, POLLIN, 0};
            if (poll(&socket, 1, 20) == 1) browser.changesMayHaveArrived();
            view.runPosted();
            if (shows()) return true;
        }
        return false;
    }
    std::string listed() {
        std::string names;
        for (int row = 0; row < browser.rowCount(); ++row) names += browser.rowName(row).value_or("-") + " ";
        return names;
    }
    RecordingView view;
    CollectionBrowser browser;
};

TEST(LiveUpdates, AWindowFollowsAnotherClientsRenamesAddsAndDeletes) {
    VELMORA_REQUIRE_SERVER(server);
    ServerDatabase database(*server);
    database.makeCollection({"sky", "sea", "lake"});
    LiveWindow a(database.address()), b(database.address());
    a.browser.next();
    b.browser.next();

    // Renamed there: the name follows here; the current picture is not drawn again.
    a.view.dialogAnswers.push_back({"ocean"});
    a.browser.rename();
    b.view.picture.reset();
    EXPECT_TRUE(b.follows([&] { return b.view.name == "ocean"; }));
    EXPECT_FALSE(b.view.picture);

    // Added there: the list and the count grow, the current record stays.
    database.run("INSERT INTO pictures (filename, picture) VALUES ('river', '\\xffd8ffd9'); NOTIFY velmora_pictures");
    EXPECT_TRUE(b.follows([&] { return b.listed() == "sky ocean lake river "; }));
    EXPECT_EQ(b.view.countText.find('4') != std::string::npos && b.view.name == "ocean", true) << b.view.countText;

    // Its current record deleted there: the next one becomes current here.
    a.view.confirmAnswers.push_back(true);
    a.browser.deletePicture();
    EXPECT_TRUE(b.follows([&] { return b.view.name == "lake"; }));
    EXPECT_EQ(*b.view.picture->jpegData(), tools::syntheticJpeg(48, 32, 2));

    // A rename there against a delete here before the news came: refused, nothing lost.
    a.view.dialogAnswers.push_back({"pond"});
    a.browser.rename();
    b.view.confirmAnswers.push_back(true);
    b.browser.deletePicture();
    EXPECT_EQ(b.view.boxes.back().text, "Row cannot be located for updating. Some values may have been changed since it was last read.");
    EXPECT_TRUE(b.follows([&] { return b.listed() == "sky pond river "; }));
    EXPECT_EQ(database.run("SELECT string_agg(filename, ' ' ORDER BY velmora_key) FROM pictures"), "sky pond river");

    // A window's own rename is news for the other one only. A lost connection is watched no
    // more; the next command connects again and hears of what was said meanwhile.
    b.view.dialogAnswers.push_back({"pool"});
    b.browser.rename();
    const int refreshes = b.view.nameListRefreshes;
    EXPECT_TRUE(a.follows([&] { return a.view.name == "pool"; }));
    EXPECT_FALSE(b.follows([&] { return b.view.nameListRefreshes > refreshes; }));
    database.run("SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity"
                 " WHERE datname = current_database() AND pid <> pg_backend_pid()");
    database.run("DELETE FROM pictures WHERE filename = 'river'; NOTIFY velmora_pictures");
    EXPECT_TRUE(b.follows([&] { return b.view.watchedSocket < 0; }));
    b.browser.moveToFirst();
    EXPECT_TRUE(b.follows([&] { return b.listed() == "sky pool "; })) << b.listed();
}

}  // namespace
}  // namespace velmora::test
