// The rules both windows bind their widgets to: the name list's keys and markers, the
// undo caption, the trash and wallpaper settings forms, the viewer's place, a click on
// the picture, and a decoder error reported after the paint.
#include "browser/name_list_keys.h"
#include "browser/picture_click.h"
#include "browser/picture_display.h"
#include "browser/row_markers.h"
#include "browser/trash_form.h"
#include "browser/viewer_place.h"
#include "browser/wallpaper_settings_form.h"
#include "tests/browser/browser_fixture.h"

namespace velmora::test {
namespace {

using WindowForms = BrowserTest;

TEST_F(WindowForms, TheListsKeysMoveTheCursorAndMarkTheCurrentRow) {
    CollectionBrowser& b = openNames({"A", "B", "C", "D", "E"});
    const VisibleRows five{0, 4, 5};
    std::vector<std::string> seen;
    for (auto [key, ctrl] : {std::pair{NameListKey::Down, false}, {NameListKey::End, false}, {NameListKey::Home, false},
                             {NameListKey::PageDown, false}, {NameListKey::Up, false}, {NameListKey::Up, true},
                             {NameListKey::Down, true}}) {
        pressNameListKey(b, key, ctrl, five);
        seen.push_back(state());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"B prev next", "E prev -", "A - next", "E prev -", "D prev next",
                                              "A prev next", "E prev next"}));
    const std::uint64_t before = b.queryForTesting().notificationCount();
    pressNameListKey(b, NameListKey::Insert, false, five);
    pressNameListKey(b, NameListKey::Delete, true, five);
    EXPECT_EQ(b.queryForTesting().notificationCount(), before);
    EXPECT_EQ(nameListMove(NameListKey::PageUp, false, {3, 9, 7}), (NameListMove{NameListMove::Kind::By, -7}));
    EXPECT_EQ(nameListMove(NameListKey::PageUp, true, {3, 9, 7}), (NameListMove{NameListMove::Kind::ToRow, 3}));

    EXPECT_STREQ(rowMarkerText(b.rowMarker(4)), "\u25B6");
    EXPECT_STREQ(rowMarkerText(b.rowMarker(0)), "");
    EXPECT_STREQ(rowMarkerText(RowMarker::Editing), "I");
    EXPECT_STREQ(rowMarkerText(RowMarker::Inserting), "*");
}

TEST_F(WindowForms, TheUndoItemNamesWhatItUndoesOrSaysOnlyUndo) {
    const CommandControl* undo = nullptr;
    for (const CommandControl& control : mainWindowControls()) {
        if (control.group == CommandGroup::Undo) undo = &control;
    }
    ASSERT_NE(undo, nullptr);
    CommandStates states;
    EXPECT_EQ(states.caption(*undo), "撤销(&Z)");
    states.undoCaption = "撤销删除“A”(&Z)";
    EXPECT_EQ(states.caption(*undo), "撤销删除“A”(&Z)");
    EXPECT_EQ(states.caption(mainWindowControls()[0]), "上一张图片");
}

TEST_F(WindowForms, TheTrashListsNewestFirstAndActsOnTheSelection) {
    std::vector<TrashedPicture> trash = {{30, "小猫", 1700000300, 2048}, {20, "图片2", 1700000200, 3 * 1024 * 1024},
                                         {10, "图片1", 1700000100, 100}};
    std::vector<std::string> calls;
    auto remove = [&](const std::string& what, std::int64_t id) {
        calls.push_back(what + " " + std::to_string(id));
        std::erase_if(trash, [id](const TrashedPicture& p) { return p.id == id; });
        return true;
    };
    const TrashRequest request{[&] { return TrashContent{trash, std::to_string(trash.size())}; },
                               [&](std::int64_t id) { return remove("restore", id); },
                               [&](std::int64_t id) { return remove("delete", id); },
                               [&] { calls.push_back("empty"); trash.clear(); return true; }};
    TrashForm form(request);
    ASSERT_EQ(form.rows().size(), 3u);
    EXPECT_EQ(form.rows()[0].name, "小猫");
    EXPECT_EQ(form.rows()[1].size, "3.0 MB");
    EXPECT_EQ(form.rows()[2].size, "1 KB");
    EXPECT_EQ(form.rows()[0].date, trashDateText(1700000300));
    EXPECT_EQ(trashDateText(1700000300).size(), 19u);  // yyyy-MM-dd HH:mm:ss
    EXPECT_EQ(form.space(), "3");
    EXPECT_EQ(form.selected(), 0);  // the newest
    EXPECT_TRUE(form.canRestore() && form.canDeleteForever() && form.canEmpty());

    EXPECT_TRUE(form.restore());
    form.select(1);
    EXPECT_TRUE(form.deleteForever());
    ASSERT_EQ(form.rows().size(), 1u);
    EXPECT_EQ(form.rows()[0].name, "图片2");
    form.select(-1);
    EXPECT_FALSE(form.canRestore() || form.canDeleteForever());
    EXPECT_FALSE(form.restore());
    EXPECT_TRUE(form.empty());
    EXPECT_FALSE(form.canEmpty());
    EXPECT_EQ(form.selected(), -1);
    EXPECT_EQ(calls, (std::vector<std::string>{"restore 30", "delete 10", "empty"}));
}

TEST_F(WindowForms, TheWallpaperSettingsFormShowsTheSavedChoiceAndMakesTheEditedOne) {
    WallpaperSettingsChoice saved{.fit = platform::FitMode::Center, .rotate = true, .interval = "2h",
                                  .order = RotationOrder::Shuffle, .paused = true};
    WallpaperSettingsForm form(saved);
    EXPECT_EQ(WallpaperSettingsForm::fitCaptions().size(), 7u);
    EXPECT_STREQ(WallpaperSettingsForm::fitCaptions()[form.fields().fit], "居中");
    EXPECT_EQ(form.fields().order, 1);
    EXPECT_FALSE(form.leftOutAvailable());  // no current picture
    EXPECT_EQ(form.choice(form.fields()), saved);

    WallpaperSettingsFields edited = form.fields();
    edited.fit = 6;
    edited.rotate = false;  // the pause goes with the rotation
    edited.leftOut = true;  // not offered
    saved.fit = platform::FitMode::Span;
    saved.rotate = saved.paused = false;
    EXPECT_EQ(form.choice(edited), saved);
    EXPECT_FALSE(WallpaperSettingsForm::rotationFieldsAvailable(false));
    edited.fit = 0;
    WallpaperSettingsChoice withCurrentPicture;
    withCurrentPicture.leftOut = false;
    const WallpaperSettingsChoice chosen = WallpaperSettingsForm(withCurrentPicture).choice(edited);
    EXPECT_EQ(chosen.leftOut, std::optional<bool>(true));
    EXPECT_FALSE(chosen.fit.has_value());
}

TEST_F(WindowForms, TheViewerAndTheClicksOnThePicture) {
    // Picture, ratio, work area -> window, view, scrollbars; all in device pixels.
    const ViewerFrame frame{3, 26, 3, 3, 17, 17};
    const struct {
        int width, height;
        double ratio;
        DialogRect work;
        std::vector<int> expected;
    } places[] = {
        {1024, 768, 1.0, {0, 0, 1280, 984}, {18, 17, 1030, 797, 1024, 768, 0, 0}},
        {1024, 768, 1.5, {0, 0, 1920, 1500}, {27, 26, 1030, 797, 1024, 768, 0, 0}},  // not enlarged
        {4006, 3025, 1.0, {0, 0, 1280, 984}, {0, 0, 1280, 984, 1257, 938, 1, 1}},
        {4006, 3025, 1.0, {0, 40, 1280, 984}, {0, 40, 1280, 984, 1257, 938, 1, 1}},  // taskbar on top
        {1400, 300, 1.0, {0, 0, 1280, 984}, {0, 17, 1280, 346, 1274, 300, 1, 0}},
        {1270, 500, 1.0, {0, 0, 1280, 984}, {4, 17, 1276, 529, 1270, 500, 0, 0}},  // moved, not cut
        {1270, 960, 1.0, {0, 0, 1280, 984}, {0, 0, 1280, 984, 1257, 938, 1, 1}},  // one bar brings the other
    };
    for (const auto& c : places) {
        const ViewerPlace p = viewerPlace(c.width, c.height, c.ratio, c.work, frame);
        EXPECT_EQ(std::vector<int>({p.window.x, p.window.y, p.window.width, p.window.height, p.viewWidth, p.viewHeight,
                                    p.scrollsAcross, p.scrollsDown}),
                  c.expected)
            << c.width << " x " << c.height;
    }
    EXPECT_EQ(viewerScrolled(2700, 100, 4006, 1257), 2749);  // the far edge, no further
    EXPECT_EQ(viewerScrolled(10, -40, 4006, 1257), 0);
    EXPECT_EQ(viewerScrolled(0, 40, 300, 1257), 0);
    EXPECT_EQ(std::vector<int>({viewerStep(ViewerStep::Line, 938, 1.5), viewerStep(ViewerStep::Wheel, 938, 1.0),
                                viewerStep(ViewerStep::Page, 938, 1.0)}),
              std::vector<int>({60, 120, 898}));
    // A press that moves drags a scrolling picture and is no click; a fitting one only clicks.
    ViewerDrag drag;
    drag.press(100, 100, false);
    EXPECT_EQ(drag.move(300, 300).across, 0);
    EXPECT_FALSE(drag.dragged());
    drag.press(100, 100, true);
    EXPECT_EQ(drag.move(102, 98).across, 0);
    EXPECT_FALSE(drag.dragged());
    const ViewerDrag::Move moved = drag.move(110, 90);
    EXPECT_EQ(std::vector<int>({moved.across, moved.down}), std::vector<int>({-10, 10}));
    EXPECT_TRUE(drag.dragged());

    PictureClick click;
    EXPECT_FALSE(click.release(true));  // left over from a double-click in a file dialog
    click.press(true);
    EXPECT_TRUE(click.release(true));
    click.press(true);
    EXPECT_FALSE(click.release(false));
    click.press(false);
    EXPECT_FALSE(click.release(true));
}

TEST_F(WindowForms, ADecoderErrorIsReportedAfterThePaintThatMetIt) {
    PictureDisplay display;
    std::vector<std::string> events;
    std::vector<std::function<void()>> queued;
    display.setReports({[&] { events.push_back("shown"); },
                        [&](const std::string& message) { events.push_back("failed: " + message); },
                        [&](std::function<void()> task) { queued.push_back(std::move(task)); }});
    display.paintDone();  // nothing shown yet
    JpegPicture picture;
    picture.assignBitmap(Bitmap(8, 8, Bitmap::Format::Bgr24));
    display.setPicture(picture, "broken");
    display.paintDone();
    display.paintDone();
    EXPECT_EQ(events, (std::vector<std::string>{"shown", "shown"}));
    ASSERT_EQ(queued.size(), 1u);
    queued[0]();
    EXPECT_EQ(events.back(), "failed: broken");
}

}  // namespace
}  // namespace velmora::test
