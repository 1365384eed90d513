// Two windows' cores on one server collection: each shows the other's changes within a second.
#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>

#include "browser/collection_browser.h"
#include "store/database/row_check.h"
#include "tests/support/recording_view.h"
#include "tests/support/test_server.h"

namespace velmora::test {
namespace {

struct LiveWindow {
    explicit LiveWindow(const std::string& address) : browser(BrowserServices{}, view) { browser.start(address); }
    // Hands the core what arrives on its socket until `shows` holds. A change shows in well
    // under a second; the limit is wide so that a loaded machine or a sanitizer build does
    // not fail the test (how fast it shows is for a benchmark). A change that must not
    // show is given a second.
    bool follows(const std::function<bool()>& shows, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            pollfd socket{view.watchedSocket, POLLIN, 0};
            if (poll(&socket, 1, 20) == 1) browser.changesMayHaveArrived();
            view.runPosted();
            if (shows()) return true;
        }
        return false;
    }
    std::string listed() {  // the names and the count
        std::string names;
        for (int row = 0; row < browser.rowCount(); ++row) names += browser.rowName(row).value_or("-") + " ";
        return names + view.countText;
    }
    RecordingView view;
    CollectionBrowser browser;
};

TEST(LiveUpdates, AWindowFollowsAnotherClientsRenamesAddsAndDeletes) {
    VELMORA_REQUIRE_SERVER(server);
    ServerDatabase database(*server);
    database.makeCollection({"sky", "sea", "lake"});
    LiveWindow a(database.address()), b(database.address());
    a.browser.next(), b.browser.next();
    // A rename there: the current picture here is not drawn again. An add: the current stays.
    a.view.dialogAnswers.push_back({"ocean"});
    a.browser.rename();
    b.view.picture.reset();
    EXPECT_TRUE(b.follows([&] { return b.view.name == "ocean"; }) && !b.view.picture);
    database.run("INSERT INTO pictures (filename, picture) VALUES ('river', '\\xffd8ffd9'); NOTIFY velmora_pictures");
    EXPECT_TRUE(b.follows([&] { return b.listed() == "sky ocean lake river 4   张" && b.view.name == "ocean"; }));
    // The current record deleted there: the next one becomes current and is drawn here.
    a.view.confirmAnswers.push_back(true);
    a.browser.deletePicture();
    EXPECT_TRUE(b.follows([&] { return b.view.name == "lake" && b.view.picture; }));
    // A rename there against a delete here before the news came: refused, nothing lost.
    a.view.dialogAnswers.push_back({"pond"});
    a.browser.rename();
    b.view.confirmAnswers.push_back(true);
    b.browser.deletePicture();
    EXPECT_EQ(b.view.boxes.back().text, kRowChanged);
    EXPECT_TRUE(b.follows([&] { return b.listed() == "sky pond river 3   张"; })) << b.listed();
    // A window's own rename is news for the other one only.
    b.view.dialogAnswers.push_back({"pool"});
    b.browser.rename();
    const int refreshes = b.view.nameListRefreshes;
    EXPECT_TRUE(a.follows([&] { return a.view.name == "pool"; }));
    EXPECT_FALSE(b.follows([&] { return b.view.nameListRefreshes > refreshes; }, std::chrono::seconds(1)));
    // A lost connection is watched no more; the next command connects again and catches up.
    database.run("SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity WHERE datname = current_database()"
                 " AND pid <> pg_backend_pid(); DELETE FROM pictures WHERE filename = 'river'; NOTIFY velmora_pictures");
    EXPECT_TRUE(b.follows([&] { return b.view.watchedSocket < 0; }));
    b.browser.moveToFirst();
    EXPECT_TRUE(b.follows([&] { return b.listed() == "sky pool 2   张"; })) << b.listed();
}

}  // namespace
}  // namespace velmora::test
