// Every caption of both languages fits the control that shows it, at the design's size
// and with Qt's own font metrics: the main window, the name dialogs, the trash and the
// wallpaper settings dialogs.
#include <QAbstractButton>
#include <QLabel>

#include "browser/texts.h"
#include "tests/gui_support/browser_fixture.h"

namespace velmora::test {
namespace {

// "name: text" of each label and button of window whose text is wider than its place.
std::string overflowing(QWidget* window) {
    QStringList found;
    auto check = [&](QWidget* control, const QString& text, int needed) {
        if (!text.isEmpty() && needed > control->width()) {
            found << QString("%1: %2 (%3 > %4)").arg(control->objectName(), text).arg(needed).arg(control->width());
        }
    };
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->wordWrap() || label->objectName() == "DBText1") continue;  // picture names are as long as typed
        QString shown = label->text();
        while (shown.endsWith(' ')) shown.chop(1);  // a design's trailing blanks may run past its edge
        check(label, shown, label->fontMetrics().horizontalAdvance(shown) + 2 * label->margin());
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        check(button, button->text(), button->minimumSizeHint().width());
    }
    return found.join("\n").toStdString();
}

class TextFit : public BrowserTest, public testing::WithParamInterface<Language> {
protected:
    void SetUp() override { useLanguage(GetParam()); }
    void TearDown() override { useLanguage(Language::Chinese); }
};

TEST_P(TextFit, EveryCaptionFitsItsControl) {
    makeDefaultFile(pictureRecords({"a"}, 64, 48));
    MainWindow& f = openWindow();
    EXPECT_EQ(overflowing(&f), "");
    for (const std::string& count : {std::string(texts().countDesign), fillIn(texts().countLabel, {"1000000"})}) {
        f.countLabel->setText(QString::fromStdString(count));
        EXPECT_EQ(overflowing(&f), "");
    }

    clipboard.offerBitmap(Bitmap(8, 8, Bitmap::Format::Bgr24));
    const char* commands[] = {"PasteFromCBoard", "Rename", "FiltByName", "NewPicFile", "OpenServerCollection", "RecycleBin",
                              "WallpaperSettings"};
    for (const char* command : commands) {
        SCOPED_TRACE(command);
        modals.then([&](QWidget* dialog) {
            EXPECT_EQ(overflowing(dialog), "");
            dialog->close();
        });
        action(command)->trigger();
    }
    EXPECT_EQ(modals.pending(), 0u);
    EXPECT_EQ(modals.unexpected, 0);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, TextFit, testing::Values(Language::Chinese, Language::English),
                         [](const auto& info) { return info.param == Language::English ? "English" : "Chinese"; });

}  // namespace
}  // namespace velmora::test
