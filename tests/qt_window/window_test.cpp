// The main window as Qt shows it: controls built from the command table and their
// states, the name list's clicks and keys, the four name dialogs, the message boxes,
// and a decoder error reported after the paint.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QWheelEvent>

#include <QTreeWidget>

#include "qt_window/trash_dialog.h"
#include "qt_window/wallpaper_settings_dialog.h"
#include "tests/gui_support/browser_fixture.h"

namespace velmora::test {
namespace {

class Window : public BrowserTest {
protected:
    MainWindow& openNames(const std::vector<std::string>& names) {
        makeDefaultFile(pictureRecords(names, 64, 48));
        return openWindow();
    }
    // The name label with the availability of the navigation buttons.
    std::string state() {
        return form->nameLabel->text().toStdString() + (button("SpeedButton1")->isEnabled() ? " prev" : " -") +
               (button("SpeedButton2")->isEnabled() ? " next" : " -");
    }
    void pressRow(int row, Qt::MouseButton mouse = Qt::LeftButton) {
        NameGrid* grid = form->nameList;
        QPoint at(20, grid->rowViewportPosition(row) + 3);
        QTest::mousePress(grid->viewport(), mouse, Qt::NoModifier, at);
        QTest::mouseRelease(grid->viewport(), mouse, Qt::NoModifier, at);
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(form->nameList, Qt::Key(key), modifiers);
    }
};

TEST_F(Window, ControlsComeFromTheCommandTableAndFollowTheRules) {
    makeDefaultFile({});
    MainWindow& f = openWindow();
    QStringList captions;
    for (QAction* item : f.popupMenu->actions()) captions << (item->isSeparator() ? QString("-") : item->text());
    EXPECT_EQ(captions.join(" | ").toStdString(),
              "从文件载入(&L ) | 保存到文件(&S) | 从数据库删除(&D) | - | 新建图片数据文件(&N) | 打开图片数据文件(&O) "
              "| 打开服务器图片库(&B) | - | 重命名此图(&R) | 图片过滤(&P) | 设为桌面(&A) | 壁纸设置(&W) | - | 复制到剪贴板(&C) | 剪切到剪贴板(&X) | "
              "从剪贴板粘贴(&V) | - | 撤销(&Z) | 回收站 | 缩略图(&T) | - | 语言 Language(&G) | 退出(&Q)");
    ASSERT_EQ(f.filterMenu->actions().size(), 2);
    EXPECT_EQ(f.filterMenu->objectName(), "PicFilt");
    EXPECT_EQ(f.filterMenu->actions()[0]->objectName(), "ShowAll");
    EXPECT_EQ(f.filterMenu->actions()[1]->text(), "按文件名过滤(&F)");
    const struct {
        const char* name;
        const char* caption;
        QRect geometry;
    } buttons[] = {{"SpeedButton1", "上一张图片", {8, 72, 89, 41}},   {"SpeedButton2", "下一张图片", {8, 144, 89, 41}},
                   {"SpeedButton3", "删除当前图片", {8, 216, 89, 41}}, {"SpeedButton4", "设为桌面", {8, 290, 89, 41}},
                   {"SpeedButton6", "Zantrel网站", {8, 360, 89, 41}}, {"SpeedButton5", "退出", {8, 432, 89, 41}}};
    for (const auto& b : buttons) {
        ASSERT_NE(button(b.name), nullptr) << b.name;
        EXPECT_EQ(button(b.name)->text(), b.caption);
        EXPECT_EQ(button(b.name)->geometry(), b.geometry);
    }
    EXPECT_EQ(f.size(), QSize(788, 478));
    EXPECT_EQ(f.pictureView->size(), QSize(545, 401));
    EXPECT_EQ(f.nameList->geometry(), QRect(104, 48, 113, 425));

    // The empty-file rule: only the always available commands stay on.
    EXPECT_EQ(f.countLabel->text().toStdString(), "0   张");
    EXPECT_EQ(state(), " - -");
    EXPECT_TRUE(pictureCommands(false));
    for (const char* always : {"LoadFormFile", "PasteFromCBoard", "NewPicFile", "OpenPicDataFile", "Quit"}) {
        EXPECT_TRUE(action(always)->isEnabled()) << always;
    }
    EXPECT_TRUE(button("SpeedButton5")->isEnabled());
    EXPECT_TRUE(button("SpeedButton6")->isEnabled());

    button("SpeedButton6")->click();
    EXPECT_EQ(openedUrls, std::vector<std::string>{kWebSiteAddress});
    action("Quit")->trigger();
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(modals.seen.empty());
}

TEST_F(Window, ABadDefaultFileIsReportedInAStopBoxAndTheDesignStateStays) {
    modals.answerBox();
    MainWindow& f = openWindow();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].kind, "ErrorBox");
    EXPECT_EQ(modals.seen[0].title.toStdString(), "Zantrel桌面壁纸管理软件");
    EXPECT_EQ(modals.seen[0].icon, QMessageBox::Critical);
    EXPECT_EQ(modals.seen[0].text, "unable to open database file.");
    EXPECT_EQ(f.windowTitle().toStdString(), "Zantrel桌面壁纸管理软件");
    EXPECT_EQ(f.countLabel->text().toStdString(), "显示数据库图片数");
    EXPECT_TRUE(pictureCommands(true));
    EXPECT_TRUE(button("SpeedButton1")->isEnabled());
}

TEST_F(Window, ButtonsAndTheListMoveTheCursor) {
    MainWindow& f = openNames({"A", "B", "C", "D", "E"});
    EXPECT_EQ(f.windowTitle().toStdString(),
              "Zantrel桌面壁纸管理软件    默认文件[ " + QDir::currentPath().toStdString() + "\\pictures.vlm ]");
    button("SpeedButton2")->click();
    EXPECT_EQ(state(), "B prev next");
    button("SpeedButton1")->click();
    EXPECT_EQ(state(), "A prev next");
    pressRow(3);
    EXPECT_EQ(state(), "D prev next");
    pressRow(1, Qt::RightButton);  // moves before the popup menu opens
    EXPECT_EQ(state(), "B prev next");
    f.popupMenu->hide();
    // The keys reach the key map with the rows the list shows (what each key does is
    // the core's): five rows fit.
    key(Qt::Key_Down);
    EXPECT_EQ(state(), "C prev next");
    key(Qt::Key_PageDown);
    EXPECT_EQ(state(), "E prev -");
    key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(state(), "A prev next");
}

TEST_F(Window, TheListShowsEveryNameAsPlainTextAndMarksTheCurrentRow) {
    MainWindow& f = openNames({"<b>x</b>", "a &amp; b", "C"});
    EXPECT_EQ(f.nameLabel->textFormat(), Qt::PlainText);
    EXPECT_EQ(f.nameLabel->text(), "<b>x</b>");
    // Drawn as typed: as wide as the tags themselves, not one bold letter.
    EXPECT_GT(f.nameLabel->sizeHint().width(), f.nameLabel->fontMetrics().horizontalAdvance("<b>x"));
    QAbstractItemModel* model = f.nameList->model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "filename");
    EXPECT_EQ(model->data(model->index(1, 0)).toString(), "a &amp; b");
    EXPECT_EQ(model->headerData(0, Qt::Vertical).toString(), "\u25B6");
    EXPECT_TRUE(model->headerData(1, Qt::Vertical).toString().isEmpty());
}

TEST_F(Window, EachNameDialogIsLaidOutByItsDesign) {
    makeDefaultFile(pictureRecords({"a"}, 64, 48));
    MainWindow& f = openWindow();
    clipboard.offerBitmap(Bitmap(8, 8, Bitmap::Format::Bgr24));
    const struct {
        const char* item;
        const char* name;
        const char* caption;
        const char* label;
        QString text;
        QRect edit;
        QRect ok;
    } designs[] = {
        {"PasteFromCBoard", "Form2", "为此图片命名     ", "  请为此图片起一个名字    ", "图片2", {64, 72, 193, 21}, {56, 128, 89, 25}},
        {"Rename", "Form3", "重命名图片", "  请输入此图片的新名字", "新名字", {48, 64, 217, 21}, {56, 128, 89, 25}},
        {"FiltByName", "Form6", "设置图片过滤条件",
         "      你需要列出一些图片，它们的文件名中要包含以下文字：                               ", "输入过滤文字",
         {56, 64, 353, 21}, {88, 120, 89, 25}},
        {"NewPicFile", "Form7", "输入新建图片数据库文件名", "    请输入图片数据库文件的名字：          ",
         "新建图片数据库文件", {40, 64, 257, 21}, {48, 128, 89, 25}},
    };
    for (const auto& d : designs) {
        SCOPED_TRACE(d.name);
        bool seen = false;
        modals.then([&](QWidget* dialog) {
            seen = true;
            EXPECT_EQ(dialog->objectName(), d.name);
            EXPECT_EQ(dialog->windowTitle(), d.caption);
            EXPECT_EQ(dialog->findChild<QLabel*>("Label1")->text(), d.label);
            auto* edit = dialog->findChild<QLineEdit*>("Edit1");
            EXPECT_EQ(edit->text(), d.text);
            EXPECT_EQ(edit->selectedText(), d.text);
            EXPECT_EQ(edit->geometry(), d.edit);
            EXPECT_EQ(dialog->findChild<QPushButton*>("Button1")->geometry(), d.ok);
            // Enter and Esc do nothing; only the buttons act.
            for (int pressed : {Qt::Key_Return, Qt::Key_Escape}) {
                QKeyEvent press(QEvent::KeyPress, pressed, Qt::NoModifier);
                QApplication::sendEvent(dialog, &press);
            }
            EXPECT_TRUE(dialog->isVisible());
            clickButton(dialog, "取消");
        });
        action(d.item)->trigger();
        EXPECT_TRUE(seen);
    }
    EXPECT_EQ(modals.unexpected, 0);
    EXPECT_EQ(f.countLabel->text().toStdString(), "1   张");
}

TEST_F(Window, KeysAndTheWheelReachTheCoreAndTheMenuShowsTheKeys) {
    MainWindow& f = openNames({"A", "B", "C"});
    EXPECT_EQ(action("Rename")->shortcut(), QKeySequence("F2"));
    EXPECT_EQ(action("LoadFormFile")->shortcut(), QKeySequence("Ctrl+Shift+O"));
    f.activateWindow();
    f.pictureArea->setFocus();
    QTest::keyClick(f.pictureArea, Qt::Key_Right);
    EXPECT_EQ(state(), "B prev next");
    QWheelEvent towardsUser(QPointF(20, 20), f.pictureArea->mapToGlobal(QPointF(20, 20)), {}, {0, -120},
                            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.pictureArea->viewport(), &towardsUser);
    EXPECT_EQ(state(), "C prev next");
    modals.answerBox("Cancel");
    QTest::keyClick(f.pictureArea, Qt::Key_Delete);
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].kind, "ConfirmBox");
    key(Qt::Key_Delete, Qt::ControlModifier);  // in the list: nothing
    EXPECT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(namesInFile(dir.file("pictures.vlm")).size(), 3u);

    // Enter on the picture opens the viewer, whose Left shows the picture before.
    QString captions;
    modals.then([&](QWidget* viewer) {
        captions = viewer->windowTitle();
        QTest::keyClick(viewer->findChild<QScrollArea*>(), Qt::Key_Left);
        captions += " | " + viewer->windowTitle();
        QTest::keyClick(viewer->findChild<QScrollArea*>(), Qt::Key_Escape);
    });
    QTest::keyClick(f.pictureArea, Qt::Key_Return);
    EXPECT_EQ(captions, "查看原始图片    < C > | 查看原始图片    < B >");
    EXPECT_EQ(state(), "B prev next");
}

TEST_F(Window, ConfirmationsAndConditionsUseTheirOwnBoxes) {
    openNames({"A", "B"});
    modals.escapeBox();  // Esc answers "Cancel"
    action("DeleteFormDB")->trigger();
    clipboard.offerText("text");
    modals.answerBox("OK");
    action("PasteFromCBoard")->trigger();
    ASSERT_EQ(modals.seen.size(), 2u);
    EXPECT_EQ(modals.seen[0].kind, "ConfirmBox");
    EXPECT_EQ(modals.seen[0].title, "Confirm");
    EXPECT_EQ(modals.seen[0].icon, QMessageBox::Question);
    EXPECT_EQ(modals.seen[1].kind, "ConditionBox");
    EXPECT_EQ(modals.seen[1].title.toStdString(), "Zantrel桌面壁纸管理软件");
    EXPECT_EQ(modals.seen[1].icon, QMessageBox::NoIcon);
    EXPECT_EQ(modals.seen[1].text, "剪贴板中没有二进制图片拷贝!");
    EXPECT_EQ(namesInFile(dir.file("pictures.vlm")).size(), 2u);
}

TEST_F(Window, UndoNamesWhatItUndoesAndTheTrashDialogRestores) {
    openNames({"A", "B", "C"});
    QAction* undo = action("UndoLastChange");
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(undo->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_FALSE(undo->isEnabled());
    modals.answerBox("OK");
    action("DeleteFormDB")->trigger();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "撤销删除“A”(&Z)");
    undo->trigger();
    EXPECT_EQ(form->nameLabel->text(), "A");

    modals.answerBox("OK");
    action("DeleteFormDB")->trigger();  // A, current again, goes to the trash
    modals.then([&](QWidget* modal) {
        auto* dialog = qobject_cast<TrashDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "回收站");
        ASSERT_EQ(dialog->pictureList->topLevelItemCount(), 1);
        EXPECT_EQ(dialog->pictureList->topLevelItem(0)->text(0), "A");
        EXPECT_TRUE(dialog->spaceLabel->text().startsWith("回收站占用 "));
        dialog->restoreButton->click();
        EXPECT_EQ(dialog->pictureList->topLevelItemCount(), 0);
        EXPECT_FALSE(dialog->emptyButton->isEnabled());
        dialog->closeButton->click();
    });
    action("RecycleBin")->trigger();
    EXPECT_EQ(form->nameLabel->text(), "A");
    EXPECT_EQ(namesInFile(dir.file("pictures.vlm")), (std::vector<std::string>{"B", "C", "A"}));
    EXPECT_EQ(modals.unexpected, 0);
}

TEST_F(Window, TheWallpaperSettingsDialogShowsTheSavedSettingsAndSavesEdits) {
    WallpaperSettings saved;
    saved.fit = platform::FitMode::Center;
    saved.order = RotationOrder::Shuffle;
    saved.rotateMinutes = 120;
    saveWallpaperSettings(settingsFile, saved);
    openNames({"A"});
    modals.then([&](QWidget* modal) {
        auto* dialog = qobject_cast<WallpaperSettingsDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "壁纸设置");
        EXPECT_EQ(dialog->fitBox->currentText(), "居中");
        EXPECT_EQ(dialog->fitBox->count(), 7);
        EXPECT_EQ(dialog->orderBox->currentText(), "随机（每张都出现后才重复）");
        EXPECT_TRUE(dialog->rotateBox->isChecked());
        EXPECT_EQ(dialog->intervalEdit->text(), "2h");
        EXPECT_TRUE(dialog->pausedBox->isEnabled());
        EXPECT_FALSE(dialog->perMonitorBox->isChecked());
        EXPECT_FALSE(dialog->lockScreenBox->isChecked());
        EXPECT_TRUE(dialog->leftOutBox->isEnabled() && !dialog->leftOutBox->isChecked());

        // A wrong interval: the core's message, and the dialog stays open.
        dialog->fitBox->setCurrentText("跨屏");
        dialog->intervalEdit->setText("soon");
        modals.answerBox("OK");
        dialog->okButton->click();
        EXPECT_TRUE(dialog->isVisible());
        dialog->intervalEdit->setText("45m");
        dialog->lockScreenBox->setChecked(true);
        dialog->rotateBox->setChecked(false);
        EXPECT_FALSE(dialog->intervalEdit->isEnabled());
        dialog->rotateBox->setChecked(true);
        dialog->leftOutBox->setChecked(true);
        dialog->okButton->click();
    });
    action("WallpaperSettings")->trigger();
    // The current picture's mark is kept in the collection: the dialog shows it again.
    modals.then([](QWidget* modal) {
        auto* dialog = qobject_cast<WallpaperSettingsDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->leftOutBox->isChecked());
        EXPECT_EQ(dialog->fitBox->currentText(), "跨屏");
        dialog->cancelButton->click();
    });
    action("WallpaperSettings")->trigger();
    ASSERT_EQ(modals.seen.size(), 1u);
    EXPECT_EQ(modals.seen[0].text, "更换间隔“soon”无效，请输入如 30m、2h 或 1h30m 的时间（最长一年）!");
    EXPECT_EQ(platform::settingsText(settingsFile.load()),
              platform::settingsText({{"fit", "span"}, {"lock-screen", "same"}, {"order", "shuffle"}, {"rotate-every", "45m"}}));
    EXPECT_EQ(timer.calls, std::vector<std::string>{"schedule 45 " + dir.file("pictures.vlm")});
    EXPECT_EQ(modals.pending(), 0u);
    EXPECT_EQ(modals.unexpected, 0);
}

TEST_F(Window, AStreamThatFailsWhileDecodingIsReportedOnceAfterThePaint) {
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
    button("SpeedButton2")->click();
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
