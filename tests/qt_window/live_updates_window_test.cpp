// The main window on a server collection: when another client adds a picture, the
// window's socket notifier wakes the core and the list and the count follow, with no
// command of the user's. (The core's own rules are tested in tests/server.)
#include <QTest>

#include "store/server/open_collection.h"
#include "tests/gui_support/browser_fixture.h"
#include "tests/support/test_server.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

class LiveWindow : public BrowserTest {};

TEST_F(LiveWindow, AnotherClientsAddShowsWithoutACommand) {
    VELMORA_REQUIRE_SERVER(server);
    ServerDatabase database(*server);
    const std::string address = database.address();
    {
        std::unique_ptr<NewCollection> made =
            startCollection(address, {{"filename", ColumnKind::Text}, {"picture", ColumnKind::Bytes}});
        made->insert({FieldValue{std::string("sky")}, FieldValue{shareBytes(tools::syntheticJpeg(48, 32, 1))}});
        made->finish();
    }
    MainWindow& f = openWindow(address);
    settle();
    ASSERT_EQ(f.countLabel->text().toStdString(), "1   张");

    database.run("INSERT INTO pictures (filename, picture) VALUES ('sea', '\\xffd8ffd9'); NOTIFY velmora_pictures");
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.countLabel->text().toStdString() == "2   张"; }, 1000));
    EXPECT_EQ(f.browser().rowName(1), "sea");
    EXPECT_EQ(f.nameList->model()->rowCount(), 2);
    EXPECT_EQ(f.nameLabel->text().toStdString(), "sky");
}

}  // namespace
}  // namespace velmora::test
