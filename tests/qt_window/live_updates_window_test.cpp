// The main window on a server collection: another client's add wakes the core through the
// window's socket notifier, with no command of the user's (the core's rules: tests/server).
#include <QTest>

#include "tests/gui_support/browser_fixture.h"
#include "tests/support/test_server.h"

namespace velmora::test {
namespace {

class LiveWindow : public BrowserTest {};

TEST_F(LiveWindow, AnotherClientsAddShowsWithoutACommand) {
    VELMORA_REQUIRE_SERVER(server);
    ServerDatabase database(*server);
    database.makeCollection({"sky"});
    MainWindow& f = openWindow(database.address());
    database.run("INSERT INTO pictures (filename, picture) VALUES ('sea', '\\xffd8ffd9'); NOTIFY velmora_pictures");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return f.countLabel->text().toStdString() == "2   张" && f.nameList->model()->rowCount() == 2; }, 10000));
}

}  // namespace
}  // namespace velmora::test
