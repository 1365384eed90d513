// Previous and next, the name list's clicks and keys, and what the display follows.
#include <QMouseEvent>
#include <QTest>

#include "tests/gui_support/browser_fixture.h"

namespace velmora::test {
namespace {

class Navigation : public BrowserTest {
protected:
    MainWindow& openNames(const std::vector<std::string>& names) {
        makeDefaultFile(pictureRecords(names, 64, 48));
        return openWindow();
    }
    // Availability of previousButton and nextButton with the current name.
    std::string state() {
        return form->nameLabel->text().toStdString() + (form->previousButton->isEnabled() ? " prev" : " -") +
               (form->nextButton->isEnabled() ? " next" : " -");
    }
    void pressRow(int row, Qt::MouseButton button = Qt::LeftButton) {
        NameGrid* grid = form->nameList;
        QPoint at(20, grid->rowViewportPosition(row) + 3);
        QTest::mousePress(grid->viewport(), button, Qt::NoModifier, at);
        QTest::mouseRelease(grid->viewport(), button, Qt::NoModifier, at);
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(form->nameList, Qt::Key(key), modifiers);
    }
};

TEST_F(Navigation, NamesAreShownAsPlainText) {
    MainWindow& f = openNames({"<b>x</b>", "a &amp; b"});
    EXPECT_EQ(f.nameLabel->textFormat(), Qt::PlainText);
    EXPECT_EQ(f.nameLabel->text(), "<b>x</b>");
    // Drawn as typed: as wide as the tags themselves, not one bold letter.
    EXPECT_GT(f.nameLabel->sizeHint().width(), f.nameLabel->fontMetrics().horizontalAdvance("<b>x"));
    f.nextButton->click();
    EXPECT_EQ(f.nameLabel->text(), "a &amp; b");
}

TEST_F(Navigation, NextToTheEndAndPastIt) {
    MainWindow& f = openNames({"R1", "R2", "R3"});
    EXPECT_EQ(state(), "R1 - next");
    f.nextButton->click();
    EXPECT_EQ(state(), "R2 prev next");
    f.nextButton->click();
    EXPECT_EQ(state(), "R3 prev next");
    f.nextButton->click();
    EXPECT_EQ(state(), "R3 prev -");
}

TEST_F(Navigation, BackToTheStartAndPastIt) {
    MainWindow& f = openNames({"R1", "R2", "R3"});
    f.nextButton->click();
    f.nextButton->click();
    f.previousButton->click();
    EXPECT_EQ(state(), "R2 prev next");
    f.previousButton->click();
    EXPECT_EQ(state(), "R1 prev next");
    f.previousButton->click();
    EXPECT_EQ(state(), "R1 - next");
}

TEST_F(Navigation, ClicksOnTheListMoveByTheirDistance) {
    MainWindow& f = openNames({"A", "B", "C", "D", "E"});
    pressRow(3);
    EXPECT_EQ(state(), "D prev next");
    EXPECT_EQ(f.pictures.currentRow(), 3);
    std::uint64_t before = f.pictures.notificationCount();
    pressRow(3);  // the current row: nothing
    EXPECT_EQ(f.pictures.notificationCount(), before);
    pressRow(1, Qt::RightButton);  // moves before the popup menu opens
    EXPECT_EQ(state(), "B prev next");
    f.popupMenu->hide();
}

TEST_F(Navigation, KeysOnTheList) {
    MainWindow& f = openNames({"A", "B", "C", "D", "E"});
    key(Qt::Key_Down);
    EXPECT_EQ(state(), "B prev next");
    key(Qt::Key_End);
    EXPECT_EQ(state(), "E prev -");
    key(Qt::Key_Down);  // an ordinary next that finds nothing: no record is added
    EXPECT_EQ(f.pictures.recordCount(), 5);
    key(Qt::Key_Home);
    EXPECT_EQ(state(), "A - next");
    key(Qt::Key_PageDown);  // five rows fit: runs out at E
    EXPECT_EQ(state(), "E prev -");
    key(Qt::Key_Up);
    EXPECT_EQ(state(), "D prev next");
    key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(state(), "A prev next");
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(state(), "E prev next");
    std::uint64_t before = f.pictures.notificationCount();
    key(Qt::Key_Insert);
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(f.pictures.notificationCount(), before);
    EXPECT_EQ(f.pictures.recordCount(), 5);
}

TEST_F(Navigation, TheListShowsEveryNameAndMarksTheCurrentRow) {
    MainWindow& f = openNames({"A", "B", "C"});
    QAbstractItemModel* model = f.nameList->model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "filename");
    EXPECT_EQ(model->data(model->index(2, 0)).toString(), "C");
    EXPECT_FALSE(model->headerData(0, Qt::Vertical).toString().isEmpty());
    EXPECT_TRUE(model->headerData(1, Qt::Vertical).toString().isEmpty());
}

TEST_F(Navigation, APictureThatIsNotJpegIsReportedWhenRead) {
    tools::CollectionRecord png{"png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0}};
    makeDefaultFile({pictureRecords({"good"})[0], png});
    modals.answerBox();
    MainWindow& f = openWindow();
    f.nextButton->click();
    settle();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].text, "JPEG error #53.");
}

TEST_F(Navigation, AStreamThatFailsWhileDecodingIsReportedOnceAfterThePaint) {
    auto records = pictureRecords({"whole", "damaged"}, 200, 150);
    Bytes& bytes = records[1].picture;
    // Point the scan's first component at a Huffman table that does not exist: the
    // headers still parse, decoding fails.
    for (size_t i = 2; i + 6 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) {
            bytes[i + 6] = 0x33;
            break;
        }
    }
    makeDefaultFile(records);
    MainWindow& f = openWindow();
    modals.answerBox();
    f.nextButton->click();
    EXPECT_EQ(f.nameLabel->text(), "damaged");
    f.pictureView->repaint();
    settle();
    f.pictureView->repaint();
    settle();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].kind, "ErrorBox");
    EXPECT_TRUE(modals.seen[0].text.startsWith("JPEG error #")) << modals.seen[0].text.toStdString();
    EXPECT_EQ(modals.unexpected, 0);
}

}  // namespace
}  // namespace velmora::test
