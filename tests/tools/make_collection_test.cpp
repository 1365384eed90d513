// velmora-make-collection run as a user runs it: what each command line prints, its
// exit status, and which files it leaves in the folder.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "store/picture/jpeg_picture.h"
#include "tests/support/build_paths.h"
#include "tests/support/small_disk.h"
#include "tests/support/store_fixture.h"
#include "tests/wallpaper_cli/program_run.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Width x height of the last record's picture, read as velmora reads it.
std::string lastPictureSize(const std::string& path) {
    test::OpenStore store(path);
    store.query.activate();
    store.query.last();
    JpegPicture picture;
    picture.readStored(store.query.fieldByName("picture").asBytes());
    return std::to_string(picture.width()) + "x" + std::to_string(picture.height());
}

TEST(MakeCollection, EachCommandLineMakesWhatItSaysOrNothing) {
    const std::string usage = "Usage: velmora-make-collection [OPTION]... FILE\n";
    const std::string tryHelp = usage + "Try 'velmora-make-collection --help' for more information.\n";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string output;  // what standard output begins with
        std::string errors;
        std::vector<std::string> files;      // the folder afterwards (old.vlm is there before)
        std::vector<std::string> names;      // the records of the file made
    };
    const std::vector<Case> cases = {
        {{"--help"}, 0, usage + "Make the picture collection file FILE", "", {"old.vlm"}, {}},
        {{"new.vlm", "-h", "--count", "3"}, 0, usage, "", {"old.vlm"}, {}},
        {{"--version", "new.vlm"}, 0, "velmora-make-collection 1.", "", {"old.vlm"}, {}},
        {{"new.vlm", "--frobnicate"}, 2, "", "velmora-make-collection: unknown option '--frobnicate'\n" + tryHelp,
         {"old.vlm"}, {}},
        {{"-x", "--help"}, 2, "", "velmora-make-collection: unknown option '-x'\n" + tryHelp, {"old.vlm"}, {}},
        {{}, 2, "", "velmora-make-collection: no FILE given\n" + tryHelp, {"old.vlm"}, {}},
        {{"a.vlm", "b.vlm"}, 2, "", "velmora-make-collection: only one FILE can be made at a time\n" + tryHelp,
         {"old.vlm"}, {}},
        {{"new.vlm", "--count"}, 2, "", "velmora-make-collection: option '--count' needs a value\n" + tryHelp,
         {"old.vlm"}, {}},
        {{"new.vlm", "--count", "2x"}, 2, "", "velmora-make-collection: invalid count '2x'\n" + tryHelp, {"old.vlm"}, {}},
        {{"new.vlm", "--count=-1"}, 2, "", "velmora-make-collection: invalid count '-1'\n" + tryHelp, {"old.vlm"}, {}},
        {{"new.vlm", "--size", "65501x1"}, 2, "",
         "velmora-make-collection: invalid size '65501x1' (WIDTHxHEIGHT, each 1 to 65500, at most 64 megapixels)\n" +
             tryHelp,
         {"old.vlm"}, {}},
        {{"new.vlm", "--size", "10000x10000"}, 2, "",
         "velmora-make-collection: invalid size '10000x10000' (WIDTHxHEIGHT, each 1 to 65500, at most 64 megapixels)\n" +
             tryHelp,
         {"old.vlm"}, {}},
        {{"old.vlm", "--count", "2"}, 1, "", "velmora-make-collection: File already exists: old.vlm\n", {"old.vlm"}, {}},
        {{"new.vlm"}, 0, "", "", {"new.vlm", "old.vlm"}, {}},
        {{"--count=2", "--size", "40x30", "--prefix", "相片 ", "new.vlm"}, 0, "", "", {"new.vlm", "old.vlm"},
         {"相片 1", "相片 2"}},
        {{"--", "--help"}, 0, "", "", {"--help", "old.vlm"}, {}},
        {{"no-such-folder/new.vlm"}, 1, "", "velmora-make-collection: unable to open database file\n", {"old.vlm"}, {}},
    };
    for (const Case& c : cases) {
        std::string commandLine = "velmora-make-collection";
        for (const std::string& arg : c.args) commandLine += " " + arg;
        SCOPED_TRACE(commandLine);
        test::TempDir folder;
        test::writeFile(folder.file("old.vlm"), "not to be touched");
        std::vector<std::string> argv{test::binaryDir() + "/tools/velmora-make-collection"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());

        test::ProgramRun run = test::runProgramIn(folder.path().string(), {}, argv, {});
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.output.starts_with(c.output)) << run.output;
        if (c.output.empty()) {
            EXPECT_EQ(run.output, "");
        }
        EXPECT_EQ(run.errors, c.errors);
        EXPECT_EQ(filesIn(folder.path()), c.files);
        EXPECT_EQ(test::readFile(folder.file("old.vlm")), "not to be touched");
        for (const std::string& made : c.files) {
            if (made == "old.vlm") continue;
            EXPECT_EQ(test::namesInFile(folder.file(made)), c.names);
            EXPECT_EQ(test::integrityOf(folder.file(made)), "ok");
            if (!c.names.empty()) {
                EXPECT_EQ(lastPictureSize(folder.file(made)), "40x30");
            }
        }
    }
}

TEST(MakeCollection, AFileThatCannotBeFinishedIsRemoved) {
    // On a 1 MB tmpfs about ten generated pictures fit, so the disk fills while later
    // batches are written; without the right to mount, no file may grow at all.
    test::SmallDisk disk(1u << 20);
    if (!disk.mounted()) disk.fill();
    test::ProgramRun run = test::runProgramIn(
        disk.folder(), {}, {test::binaryDir() + "/tools/velmora-make-collection", "full.vlm", "--count", "200"}, {});
    EXPECT_EQ(run.status, 1);
    // (Under the file size limit the message cannot be written either.)
    if (disk.mounted()) {
        EXPECT_EQ(run.errors, "velmora-make-collection: database or disk is full\n");
    }
    EXPECT_EQ(filesIn(disk.folder()), std::vector<std::string>{});
}

}  // namespace
}  // namespace velmora
