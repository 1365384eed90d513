// The neighbours of the shown record decoded ahead on a worker thread: used when the
// user moves there, dropped when the user moves away, errors reported when shown.
#include <QApplication>
#include <QTest>

#include <sqlite3.h>

#include <chrono>
#include <thread>

#include "tests/gui_support/browser_fixture.h"

namespace velmora::test {
namespace {

class Preloading : public BrowserTest {
protected:
    MainWindow& openPictures(int count, int width, int height) {
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i) names.push_back("图片" + std::to_string(i + 1));
        makeDefaultFile(pictureRecords(names, width, height));
        return openWindow();
    }
    // Lets the paint run and waits until the worker has made `count` results.
    bool waitForPreloads(int count) {
        for (int i = 0; i < 500; ++i) {
            settle();
            if (form->browser().neighbourPreloaderForTesting()->readyCount() >= count) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    // What the picture area must show for the current record, decoded afresh.
    Bitmap expectedDisplay() {
        JpegPicture fresh;
        fresh.readStored(form->browser().queryForTesting().fieldByName("picture").asBytes());
        const FitRect rect = form->pictureView->drawRect();
        const DisplayTarget target = form->pictureView->displayTarget();
        return fresh.displayBitmap(target.device(rect.width), target.device(rect.height));
    }
    // A picture still being made ahead (the keys outran the worker) is waited for.
    bool showsCurrentRecord() {
        form->pictureView->repaint();
        for (int i = 0; i < 500 && !form->pictureView->picture().hasDisplayBitmap(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            settle();
        }
        JpegPicture& shown = form->pictureView->picture();
        const Bitmap expected = expectedDisplay();
        return shown.hasDisplayBitmap() && shown.displayBitmap(expected.width(), expected.height()) == expected;
    }
    void key(Qt::Key key) { QTest::keyClick(form->nameList, key); }
};

TEST_F(Preloading, TheNextPictureComesReadyFromTheWorker) {
    MainWindow& f = openPictures(4, 1200, 900);
    ASSERT_TRUE(waitForPreloads(2));  // two ahead; none behind the first
    button("SpeedButton2")->click();
    // Already decoded before any paint, and the full bitmap is never made.
    EXPECT_TRUE(f.pictureView->picture().hasDisplayBitmap());
    EXPECT_FALSE(f.pictureView->picture().hasBitmap());
    EXPECT_TRUE(showsCurrentRecord());
    ASSERT_TRUE(waitForPreloads(3));  // now one behind as well
    button("SpeedButton1")->click();
    EXPECT_TRUE(f.pictureView->picture().hasDisplayBitmap());
    EXPECT_TRUE(showsCurrentRecord());

    // Commands that need the full picture still get it whole.
    action("CopyToCBoard")->trigger();
    EXPECT_EQ(clipboard.bitmap().width(), 1200);
    EXPECT_EQ(modals.unexpected, 0);
}

TEST_F(Preloading, HundredsOfQuickMovesAlwaysShowTheCurrentRecord) {
    MainWindow& f = openPictures(30, 320, 240);
    for (int i = 0; i < 400; ++i) {
        key((i / 70) % 2 == 0 ? Qt::Key_Down : Qt::Key_Up);
        if (i % 3 == 0) QApplication::processEvents();
        if (i % 23 == 0) {
            EXPECT_TRUE(showsCurrentRecord()) << "press " << i;
        }
    }
    settle();
    EXPECT_TRUE(showsCurrentRecord());

    // Far away: what was made for the old neighbours is dropped.
    const int row = f.browser().queryForTesting().currentRow();
    std::vector<std::int64_t> old;
    for (int offset : {1, 2, -1}) {
        if (auto rowid = f.browser().queryForTesting().rowidAt(row + offset)) old.push_back(*rowid);
    }
    key(Qt::Key_End);
    ASSERT_TRUE(waitForPreloads(1));
    for (std::int64_t rowid : old) {
        if (rowid != *f.browser().queryForTesting().rowidAt(f.browser().queryForTesting().currentRow() - 1)) {
            EXPECT_FALSE(f.browser().neighbourPreloaderForTesting()->hasRowid(rowid));
        }
    }
    EXPECT_TRUE(showsCurrentRecord());
    EXPECT_EQ(modals.unexpected, 0);
}

TEST_F(Preloading, AnErrorFoundAheadIsReportedOnceAfterThatPictureIsShown) {
    auto records = pictureRecords({"whole", "damaged", "after"}, 400, 300);
    Bytes& bytes = records[1].picture;
    for (size_t i = 2; i + 6 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) {
            bytes[i + 6] = 0x33;  // a Huffman table that does not exist: decoding fails
            break;
        }
    }
    makeDefaultFile(records);
    MainWindow& f = openWindow();
    modals.answerBox();
    ASSERT_TRUE(waitForPreloads(2));
    EXPECT_TRUE(modals.seen.empty());  // found ahead, not reported yet

    button("SpeedButton2")->click();
    EXPECT_EQ(f.nameLabel->text(), "damaged");
    EXPECT_TRUE(modals.seen.empty());  // only after the paint
    f.pictureView->repaint();
    settle();
    f.pictureView->repaint();
    settle();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_TRUE(modals.seen[0].text.startsWith("JPEG error #")) << modals.seen[0].text.toStdString();
    EXPECT_EQ(modals.unexpected, 0);
}

TEST_F(Preloading, ARecordWrittenSinceIsDecodedAfresh) {
    openPictures(3, 400, 300);
    ASSERT_TRUE(waitForPreloads(2));
    // Another program replaces the second picture after it was decoded ahead.
    Bytes replacement = pictureRecords({"a", "b", "c", "d"}, 400, 300)[3].picture;
    sqlite3* other = nullptr;
    sqlite3_open(dir.file("pictures.vlm").c_str(), &other);
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(other, "UPDATE pictures SET picture=?1 WHERE rowid=2", -1, &update, nullptr);
    sqlite3_bind_blob(update, 1, replacement.data(), static_cast<int>(replacement.size()), SQLITE_STATIC);
    EXPECT_EQ(sqlite3_step(update), SQLITE_DONE);
    sqlite3_finalize(update);
    sqlite3_close(other);

    button("SpeedButton2")->click();
    EXPECT_TRUE(showsCurrentRecord());  // the new picture, not the old result
}

TEST_F(Preloading, TheFirstPictureIsDecodedOnTheWorkerWhileTheWindowIsBuilt) {
    makeDefaultFile(pictureRecords({"a", "b"}, 1200, 900));
    form = std::make_unique<MainWindow>(services);
    // Queued (or already being decoded) before the window is even shown.
    ASSERT_TRUE(form->browser().neighbourPreloaderForTesting()->hasRowid(*form->browser().queryForTesting().rowidAt(0)));
    form->show();
    settle();
    EXPECT_FALSE(form->pictureView->picture().hasBitmap());
    EXPECT_TRUE(showsCurrentRecord());
}

}  // namespace
}  // namespace velmora::test
