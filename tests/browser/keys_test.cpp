// The keys: the command table's shortcuts, the picture area's keys and wheel, the
// viewer's keys, and the name list's keys, which no new key takes over.
#include "browser/commands.h"
#include "tests/browser/browser_fixture.h"

namespace velmora::test {
namespace {

using Keys = BrowserTest;
using enum CommandId;

TEST_F(Keys, EachKeyRunsItsCommandOrNothing) {
    const struct {
        const char* key;
        CommandId shortcut, pictureArea, viewer;
    } keys[] = {
        {"Ctrl+O", OpenCollection, None, None},    {"Ctrl+N", NewCollection, None, None},
        {"Ctrl+Shift+O", AddFromFile, None, None}, {"Ctrl+S", Save, None, None},
        {"F2", Rename, None, None},                {"Del", Delete, None, None},
        {"Ctrl+C", Copy, None, None},              {"Ctrl+X", Cut, None, None},
        {"Ctrl+V", Paste, None, None},             {"Ctrl+F", FilterByName, None, None},
        {"Ctrl+Shift+F", ShowAll, None, None},     {"Ctrl+Z", Undo, None, None},
        {"Ctrl+Q", Quit, None, None},              {"Ctrl+T", Thumbnails, None, None},
        {"F11", None, OpenViewer, FullScreen},
        {"Return", None, OpenViewer, None},        {"Enter", None, OpenViewer, None},
        {"Left", None, Previous, ViewerPrevious},  {"PgUp", None, Previous, None},
        {"Right", None, Next, ViewerNext},               {"PgDown", None, Next, None},
        {"Esc", None, None, CloseViewer},          {"Ctrl+Shift+Z", None, None, None},
        // The name list's own keys stay its own: Insert and Ctrl+Delete still do nothing.
        {"Up", None, None, None},                  {"Down", None, None, None},
        {"Home", None, None, None},                {"End", None, None, None},
        {"Ctrl+Up", None, None, None},             {"Ctrl+Down", None, None, None},
        {"Ctrl+PgUp", None, None, None},           {"Ctrl+PgDown", None, None, None},
        {"Ctrl+Home", None, None, None},           {"Ctrl+End", None, None, None},
        {"Ins", None, None, None},                 {"Ctrl+Del", None, None, None},
    };
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        EXPECT_EQ(shortcutCommand(k.key), k.shortcut);
        EXPECT_EQ(commandOfKey(pictureAreaKeys(), k.key), k.pictureArea);
        EXPECT_EQ(commandOfKey(viewerKeys(), k.key), k.viewer);
    }
    EXPECT_EQ(wheelCommand(-120), Next);  // towards the user
    EXPECT_EQ(wheelCommand(120), Previous);
    EXPECT_EQ(wheelCommand(0), None);

    // The picture's keys move through the collection as the buttons do, no further than its ends.
    openNames({"A", "B", "C"});
    std::vector<std::string> seen;
    for (const char* key : {"Right", "PgDown", "PgDown", "Left", "PgUp", "PgUp"}) {
        browser->run(commandOfKey(pictureAreaKeys(), key));
        seen.push_back(state());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"B prev next", "C prev next", "C prev -", "B prev next", "A prev next",
                                              "A - next"}));

    // In the viewer, Left and Right change its picture, caption and hint with it; at an end nothing changes.
    view.whileViewerOpen = [&] {
        for (const char* key : {"Right", "Right", "Right", "Left"}) browser->run(commandOfKey(viewerKeys(), key));
    };
    browser->run(commandOfKey(pictureAreaKeys(), "Return"));
    std::vector<std::string> captions;
    for (const ViewerContent& shown : view.viewers) captions.push_back(shown.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"查看原始图片    < A >", "查看原始图片    < B >",
                                                  "查看原始图片    < C >", "查看原始图片    < B >"}));
    EXPECT_EQ(view.viewers.back().hint, "图片大小：48 X 32     单击关闭");
    EXPECT_EQ(state(), "B prev next");
}

}  // namespace
}  // namespace velmora::test
