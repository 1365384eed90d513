// Nothing lost: delete and cut keep the picture in the trash, the trash dialog restores,
// deletes forever and empties, undo takes back the last delete, cut, rename or add, and a
// picture stored already is skipped when several are added; another program changes rows
// between the steps, as a second instance would.
#include <filesystem>

#include "tests/browser/browser_fixture.h"
#include "tests/support/sqlite_peer.h"
#include "tools/synthetic_picture.h"

namespace velmora::test {
namespace {

class Keeping : public BrowserTest {
public:
    std::string path() { return dir.file("pictures.vlm"); }
    std::int64_t fileSize() { return static_cast<std::int64_t>(std::filesystem::file_size(path())); }
    // The names in the trash, newest first, as the dialog lists them.
    std::vector<std::string> inTrash() {
        std::vector<std::string> names;
        view.inTrash = [&](const TrashRequest& request) {
            for (const TrashedPicture& picture : request.read().pictures) names.push_back(picture.name);
        };
        browser->openTrash();
        return names;
    }
    // Runs `action` in the open trash dialog on the entry named `name`.
    void inTrashOn(const std::string& name, const std::function<bool(const TrashRequest&, std::int64_t)>& action) {
        view.inTrash = [&](const TrashRequest& request) {
            for (const TrashedPicture& picture : request.read().pictures) {
                if (picture.name == name) {
                    EXPECT_TRUE(action(request, picture.id));
                }
            }
        };
        browser->openTrash();
    }
    void renameTo(const std::string& name) {
        view.dialogAnswers.push_back({name});
        browser->rename();
    }
};

using KeepingOnBoth = OnBoth<Keeping>;

TEST_P(KeepingOnBoth, DeleteCutRestoreUndoAndEmptyTheTrashWhileAnotherProgramChangesRows) {
    openNames({"A", "B", "C", "D"}, 900, 700);
    // A file's rows with their rowids, which emptying the trash keeps.
    auto rowsNow = [&] { return where() == Where::File ? SqlitePeer(path()).pictureRows() : stored(); };

    // Delete: what the user sees is as ever; the picture waits in the trash.
    view.confirmAnswers.push_back(true);
    browser->deletePicture();
    EXPECT_EQ(view.boxTexts(), "你真的要从数据库中删除此图片吗？");
    EXPECT_EQ(state(), "B prev next");
    EXPECT_EQ(view.countText, "3   张");
    EXPECT_EQ(stored(), (std::vector<std::string>{"B", "C", "D"}));
    EXPECT_EQ(inTrash(), (std::vector<std::string>{"A"}));
    EXPECT_TRUE(view.states.undo);
    EXPECT_EQ(view.states.undoCaption, "撤销删除“A”(&Z)");

    // Another program renames C; cut it, then undo the cut: back as the last record.
    otherProgram("UPDATE pictures SET filename = 'C2' WHERE filename = 'C'");
    browser->next();
    view.confirmAnswers.push_back(true);
    browser->cut();
    EXPECT_EQ(view.name, "D");
    EXPECT_EQ(view.states.undoCaption, "撤销剪切“C2”(&Z)");
    EXPECT_TRUE(clipboard.heldBitmap());
    browser->undo();
    EXPECT_EQ(view.name, "C2");
    EXPECT_EQ(view.countText, "3   张");
    EXPECT_EQ(stored(), (std::vector<std::string>{"B", "D", "C2"}));
    EXPECT_FALSE(view.states.undo);
    EXPECT_EQ(view.states.undoCaption, "");

    // Restored from the dialog: A comes back, current, as an add does.
    inTrashOn("A", [](const TrashRequest& request, std::int64_t id) { return request.restore(id); });
    EXPECT_EQ(view.name, "A");
    EXPECT_EQ(view.countText, "4   张");
    EXPECT_TRUE(inTrash().empty());

    // Rename and its undo; a second undo after another program renamed the row again
    // says so and changes nothing.
    renameTo("A-new");
    EXPECT_EQ(view.states.undoCaption, "撤销重命名“A”(&Z)");
    browser->undo();
    EXPECT_EQ(stored().back(), "A");
    EXPECT_EQ(view.name, "A");
    renameTo("A-again");
    otherProgram("UPDATE pictures SET filename = 'A by another' WHERE filename = 'A-again'");
    const std::size_t boxes = view.boxes.size();
    browser->undo();
    ASSERT_EQ(view.boxes.size(), boxes + 1);
    EXPECT_EQ(view.boxes.back().text, "此图片已被其他程序改动，不能撤销!");
    EXPECT_EQ(stored().back(), "A by another");
    EXPECT_FALSE(view.states.undo);

    // Undo of an add puts the picture into the trash.
    view.fileAnswers.push_back({put("new.jpg", tools::syntheticJpeg(900, 700, 40))});
    view.dialogAnswers.push_back({"新图"});
    browser->addFromFiles();
    EXPECT_EQ(view.countText, "5   张");
    EXPECT_EQ(view.states.undoCaption, "撤销添加“新图”(&Z)");
    browser->undo();
    EXPECT_EQ(view.countText, "4   张");
    EXPECT_EQ(stored().size(), 4u);
    EXPECT_EQ(inTrash(), (std::vector<std::string>{"新图"}));

    // Undo of a delete whose trash entry another program took away: nothing changes.
    browser->previous();
    view.confirmAnswers.push_back(true);
    browser->deletePicture();
    otherProgram("DELETE FROM velmora_trash WHERE filename = 'C2'");
    browser->undo();
    EXPECT_EQ(view.boxes.back().text, "此图片已被其他程序改动，不能撤销!");
    EXPECT_EQ(view.countText, "3   张");

    // Delete forever asks first; emptying gives the space back, every rowid kept.
    view.confirmAnswers.push_back(false);
    inTrashOn("新图", [](const TrashRequest& request, std::int64_t id) { return !request.deleteForever(id); });
    view.confirmAnswers.push_back(true);
    browser->deletePicture();
    const std::vector<std::string> rows = rowsNow();
    const std::int64_t before = where() == Where::File ? fileSize() : 0;
    view.confirmAnswers.push_back(true);
    view.inTrash = [&](const TrashRequest& request) {
        EXPECT_EQ(request.read().pictures.size(), 2u);
        EXPECT_TRUE(request.empty());
        EXPECT_TRUE(request.read().pictures.empty());
        EXPECT_EQ(request.read().space, "回收站占用 0 KB");
    };
    browser->openTrash();
    EXPECT_EQ(view.boxes.back().text, "清空回收站将永久删除其中的 2 张图片，确实要清空吗？");
    EXPECT_EQ(rowsNow(), rows);
    if (where() == Where::File) {  // a server gives the space back by itself
        EXPECT_LT(fileSize(), before - 2 * 20000) << before;
        EXPECT_EQ(integrityOf(path()), "ok");
    }

    // A trash another program made unusable while the dialog is open: emptying says so.
    view.inTrash = [&](const TrashRequest& request) {
        otherProgram("DROP TABLE velmora_trash");
        otherProgram("CREATE TABLE velmora_trash (x integer)");
        bool emptied = true;
        EXPECT_NO_THROW(emptied = request.empty());  // a window's button handler cannot take one
        EXPECT_FALSE(emptied);
    };
    browser->openTrash();
    EXPECT_NE(view.boxes.back().text.find("lacks the column"), std::string::npos) << view.boxes.back().text;
    EXPECT_EQ(view.unexpected, 0);
}

TEST_P(KeepingOnBoth, APictureStoredAlreadyIsAddedAloneAsAnyOtherAndSkippedInABatch) {
    openNames({"晚霞", "湖"});
    const std::vector<Bytes> storedBytes = storedPictures();

    // One file, or the same bitmap pasted twice: no question, the preview and the naming
    // dialog straight away, as for any picture.
    view.fileAnswers.push_back({put("again.jpg", storedBytes[1])});
    view.dialogAnswers.push_back({"湖二"});
    browser->addFromFiles();
    clipboard.offerBitmap(tools::syntheticBitmap(80, 60, 9));
    view.dialogAnswers.push_back({"贴图"});
    browser->paste();
    const Bytes pasted = shownBytes();
    view.dialogAnswers.push_back({"贴图二"});
    browser->paste();
    EXPECT_TRUE(view.boxes.empty()) << view.boxTexts();
    ASSERT_EQ(view.dialogs.size(), 3u);
    EXPECT_EQ(view.dialogs[2].offered, "图片5");
    EXPECT_EQ(stored(), (std::vector<std::string>{"晚霞", "湖", "湖二", "贴图", "贴图二"}));
    EXPECT_EQ(storedPictures()[2], storedBytes[1]);
    EXPECT_EQ(storedPictures().back(), pasted);

    // Another program renames a picture, and replaces the bytes of those added from
    // again.jpg: a batch names the first as it is now, and no longer finds the others.
    otherProgram("UPDATE pictures SET filename = '夕阳' WHERE filename = '晚霞'");
    otherProgram("UPDATE pictures SET picture = substr(picture, 2) WHERE filename LIKE '湖%'");
    view.fileAnswers.push_back({put("first.jpg", storedBytes[0]), put("lake.jpg", storedBytes[1])});
    browser->addFromFiles();
    EXPECT_EQ(view.boxes.back().text, "以下 1 个文件未能添加：\n\nfirst.jpg: 数据库中已有此图片（“夕阳”）");
    EXPECT_EQ(stored().size(), 6u) << view.boxTexts();

    // Many files, three of them duplicates (one of a picture earlier in the same batch):
    // skipped and listed in the summary; the others added.
    const Bytes fresh = tools::syntheticJpeg(100, 80, 30);
    view.fileAnswers.push_back({put("n1.jpg", fresh), put("dup1.jpg", storedBytes[1]), put("n2.jpg", tools::syntheticJpeg(100, 80, 31)),
                                put("dup2.jpg", storedBytes[0]), put("dup3.jpg", fresh)});
    browser->addFromFiles();
    EXPECT_EQ(view.boxes.back().text,
              "以下 3 个文件未能添加：\n\ndup1.jpg: 数据库中已有此图片（“lake”）\ndup2.jpg: 数据库中已有此图片（“夕阳”）\n"
              "dup3.jpg: 数据库中已有此图片（“n1”）");
    EXPECT_EQ(stored().size(), 8u);
    EXPECT_EQ(view.states.undoCaption, "撤销添加 2 张图片(&Z)");
    EXPECT_EQ(view.unexpected, 0);
}

VELMORA_ON_FILE_AND_SERVER(KeepingOnBoth);

}  // namespace
}  // namespace velmora::test
