// Previous and next, the name list's moves, and what the display follows.
#include "tests/browser/browser_fixture.h"

namespace velmora::test {
namespace {

using Navigation = BrowserTest;

using NavigationOnBoth = OnBoth<Navigation>;

TEST_P(NavigationOnBoth, NextToTheEndAndBackPastTheStart) {
    CollectionBrowser& b = openNames({"R1", "R2", "R3"});
    std::vector<std::string> seen{state()};
    for (int i = 0; i < 3; ++i) {
        b.next();
        seen.push_back(state());
    }
    for (int i = 0; i < 3; ++i) {
        b.previous();
        seen.push_back(state());
    }
    // Past an end the cursor stays and only then the button goes off.
    EXPECT_EQ(seen, (std::vector<std::string>{"R1 - next", "R2 prev next", "R3 prev next", "R3 prev -",
                                              "R2 prev next", "R1 prev next", "R1 - next"}));
    EXPECT_EQ(shownBytes(), storedPictures()[0]);
}

TEST_P(NavigationOnBoth, TheListMovesTheCursorByRowsAndNeverAddsOrRemoves) {
    CollectionBrowser& b = openNames({"A", "B", "C", "D", "E"});
    EXPECT_EQ(listed(), (std::vector<std::string>{"A", "B", "C", "D", "E"}));
    EXPECT_EQ(b.rowMarker(0), RowMarker::Current);
    EXPECT_EQ(b.rowMarker(1), RowMarker::None);
    b.moveToRow(3);
    EXPECT_EQ(state(), "D prev next");
    const std::uint64_t before = b.queryForTesting().notificationCount();
    b.moveToRow(3);  // the current row: nothing
    EXPECT_EQ(b.queryForTesting().notificationCount(), before);
    b.moveToLast();
    EXPECT_EQ(state(), "E prev -");
    b.moveBy(1);  // an ordinary next that finds nothing: no record is added
    EXPECT_EQ(b.rowCount(), 5);
    b.moveToFirst();
    EXPECT_EQ(state(), "A - next");
    b.moveBy(2);
    EXPECT_EQ(state(), "C prev next");
    EXPECT_EQ(b.currentRow(), 2);
    EXPECT_TRUE(view.boxes.empty());
}

TEST_P(NavigationOnBoth, APictureThatIsNotJpegIsReportedWhenRead) {
    CollectionRecord png{"png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0}};
    makeCollection({pictureRecords({"good"})[0], png});
    CollectionBrowser& b = open();
    b.next();
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(view.boxes[0].text, "JPEG error #53.");
    EXPECT_EQ(view.name, "png");
}

TEST_P(NavigationOnBoth, AFilterThatMatchesNothingTurnsBothButtonsOff) {
    openNames({"猫", "狗"});
    view.dialogAnswers.push_back({"鱼"});
    browser->filterByName();
    EXPECT_EQ(state(), " - -");
    EXPECT_FALSE(view.picture);
    EXPECT_TRUE(view.states.pictureCommands);  // the filter leaves them as they are
}

VELMORA_ON_FILE_AND_SERVER(NavigationOnBoth);

}  // namespace
}  // namespace velmora::test
