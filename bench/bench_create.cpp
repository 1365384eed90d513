// Creating a new picture data file from a 1,000-picture template through the main
// window's command (copy, open, one delete per record with its refresh, the final
// rule), against copying the file and emptying it with one plain SQLite statement.
#include <sqlite3.h>

#include <QApplication>
#include <QDir>

#include <filesystem>

#include "bench/measure.h"
#include "platform/linux_platform.h"
#include "qt_window/main_window.h"
#include "store/database/collection_file.h"
#include "tools/synthetic_picture.h"

using namespace velmora;

namespace {

const int kPictures = 1000;

void copyAndDelete(const std::string& from, const std::string& to) {
    std::filesystem::copy_file(from, to);
    sqlite3* db = nullptr;
    sqlite3_open_v2(to.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    // The same erase setting the store uses, so only the work differs.
    sqlite3_exec(db, "PRAGMA secure_delete=FAST; DELETE FROM pictures", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::string dir = bench::scratchDir("create");
    std::string templatePath = dir + "/pictures.vlm";
    createCollection(templatePath);
    std::vector<Bytes> streams;
    for (int i = 0; i < 8; ++i) streams.push_back(tools::syntheticJpeg(1024, 768, i));
    std::vector<CollectionRecord> records;
    for (int i = 0; i < kPictures; ++i) records.push_back({"图片" + std::to_string(i + 1), streams[i % 8]});
    appendRecords(templatePath, records);
    QDir::setCurrent(QString::fromStdString(dir));

    platform::LinuxPlatform linuxPlatform;
    platform::Platform services = linuxPlatform.platform();
    BrowserServices browserServices;
    browserServices.platform = &services;
    MainWindow form(browserServices);

    // In turns, so that the disk's own pace from one moment to the next meets both.
    int round = 0;
    auto [create, floor] = bench::medianPairMs(
        5,
        [&] {
            form.browser().createCollection("created" + std::to_string(round++));
            if (form.browser().pictureCount() != 0) std::abort();
        },
        [&] { copyAndDelete(templatePath, dir + "/floor" + std::to_string(round++) + ".vlm"); });

    bench::report("create_1k_ms", create, "ms");
    bench::report("copy_delete_ms", floor, "ms");
    bench::report("create_ratio", create / floor, "x");

    std::filesystem::remove_all(dir);
    return 0;
}
