// A first start from the menu: the per-user folder becomes the current directory and
// gets its own pictures.vlm, copied once from the empty collection and never replaced.
#include <filesystem>

#include <QDir>

#include "base/error.h"
#include "cli/user_collection_linux.h"
#include "tests/gui_support/browser_fixture.h"

namespace velmora::test {
namespace {

using UserCollection = BrowserTest;

std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(UserCollection, FirstStartMakesTheCollectionOnceAndOpensItWithoutAnError) {
    const std::string templatePath = home.file("empty-collection.vlm");
    createCollection(templatePath);
    const std::string folder = userCollectionFolder();
    EXPECT_EQ(folder, home.file("data") + "/velmora");

    enterUserCollection(folder, templatePath);
    EXPECT_EQ(QDir::currentPath().toStdString(), folder);
    EXPECT_EQ(readFile(folder + "/pictures.vlm"), readFile(templatePath));
    EXPECT_EQ(entries(folder), std::vector<std::string>{"pictures.vlm"});

    // The window lands on the empty collection, not on an error box.
    MainWindow& f = openWindow();
    EXPECT_TRUE(modals.seen.empty());
    EXPECT_EQ(f.countLabel->text().toStdString(), "0   张");
    EXPECT_TRUE(f.windowTitle().endsWith(QString::fromStdString(folder) + "\\pictures.vlm ]"));
    form.reset();

    // The next start, from elsewhere, keeps what the user has put in it.
    appendRecords(folder + "/pictures.vlm", pictureRecords({"mine"}));
    const std::string kept = readFile(folder + "/pictures.vlm");
    QDir::setCurrent(QString::fromStdString(dir.path().string()));
    enterUserCollection(folder, templatePath);
    EXPECT_EQ(QDir::currentPath().toStdString(), folder);
    EXPECT_EQ(readFile(folder + "/pictures.vlm"), kept);
    EXPECT_EQ(openWindow().countLabel->text().toStdString(), "1   张");
}

TEST_F(UserCollection, FailuresAreReportedAndLeaveNoFileBehind) {
    const std::string folder = home.file("data") + "/velmora";
    // No template: the folder is entered, but no half or empty pictures.vlm is made.
    try {
        enterUserCollection(folder, home.file("missing.vlm"));
        ADD_FAILURE() << "a missing template was not reported";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "cannot read the empty collection " + home.file("missing.vlm") + ": No such file or directory");
    }
    EXPECT_EQ(QDir::currentPath().toStdString(), folder);
    EXPECT_TRUE(entries(folder).empty());

    // A file where the folder should be: nothing changes, not even the current directory.
    writeFile(home.file("blocked"), "not a folder");
    QDir::setCurrent(QString::fromStdString(dir.path().string()));
    EXPECT_THROW(enterUserCollection(home.file("blocked") + "/velmora", home.file("missing.vlm")), Error);
    EXPECT_EQ(QDir::currentPath().toStdString(), dir.path().string());
}

}  // namespace
}  // namespace velmora::test
