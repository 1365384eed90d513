// Server collections in the real main window (offscreen), on a server this program
// starts (tools/test-server.sh), over its Unix socket and over TCP loopback: opening
// 100,000 pictures until the names are shown and the count is right, against psql
// fetching the 100,000 names; the next 12 MP picture not decoded ahead, against the same
// picture from a file in a window beside it; and the next picture decoded ahead.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "bench/measure.h"
#include "bench/server_run.h"
#include "bench/window_steps.h"
#include "cli/collection_transfer.h"
#include "qt_window/main_window.h"
#include "qt_window/name_grid.h"
#include "store/database/collection_file.h"
#include "store/server/server_values.h"
#include "tools/synthetic_picture.h"

using namespace velmora;

namespace {

const int kNames = 100000;
const int kRuns = 7;
const int kSteps = 20;
const int kPhotos = 8;
const char* const kTable =
    "CREATE TABLE pictures (filename text, picture bytea, velmora_key bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY)";

// Opens the collection at address in the window, as the popup menu's server item does
// once the address is confirmed, until the name list has painted its first names and
// the count label says how many there are.
void openUntilNamesShown(MainWindow& form, const std::string& address) {
    bench::PaintCounter counter;
    form.nameList->viewport()->installEventFilter(&counter);
    if (!form.browser().openServerAt(address)) std::abort();
    QElapsedTimer timer;
    timer.start();
    const QString count = QString::number(kNames);
    while (counter.paints == 0 || !form.countLabel->text().contains(count) ||
           form.nameList->model()->index(0, 0).data().toString() != "图片 1") {
        if (timer.elapsed() > 10000) std::abort();  // the names never came
        QApplication::processEvents();
    }
    form.nameList->viewport()->removeEventFilter(&counter);
}

void openFigures(const std::string& way, const test::ServerSetting& server) {
    test::ServerDatabase names(server);
    // Each row holds a small picture, so the window shows the first as it would; one
    // over the server's 2 kB threshold, so that it lies outside the table's rows as
    // every photo does.
    const Bytes picture = tools::syntheticJpeg(96, 96);
    if (picture.size() < 2100) std::abort();
    names.run(std::string(kTable) + "; INSERT INTO pictures (filename, picture) SELECT '图片 ' || i, '" + byteaText(picture) +
              "'::bytea FROM generate_series(1, " + std::to_string(kNames) + ") i");
    const std::string address = bench::addressOver(way, server, names);
    MainWindow form(BrowserServices{}, address);
    form.show();
    bench::idle(200);
    const std::string psql = server.bin + "/psql";
    auto [open, fetched] = bench::medianPairMs(
        kRuns, [&] { openUntilNamesShown(form, address); },
        [&] { bench::runProgram({psql, "-X", "-q", "-At", "-o", "/dev/null", "-c", "SELECT filename FROM pictures", address}); });
    bench::report("server_open_100k_ms_" + way, open, "ms");
    bench::report("psql_names_100k_ms_" + way, fetched, "ms");
    bench::report("server_open_100k_ratio_" + way, open / fetched, "x");
}

// A shown window on the collection at place; preloading: whether neighbours are decoded ahead.
std::unique_ptr<MainWindow> windowOn(const std::string& place, bool preloading) {
    auto form = std::make_unique<MainWindow>(BrowserServices{}, place);
    form->browser().setNeighbourPreloading(preloading);
    form->show();
    bench::idle(200);  // shown and exposed: paints reach the screen
    return form;
}

// Back to the first picture when the last is shown.
void wrapAtEnd(MainWindow& form) {
    PictureQuery& query = form.browser().queryForTesting();
    if (!query.atEnd()) return;
    query.first();
    form.pictureView->repaint();
}

void nextFigures(const std::string& way, const test::ServerSetting& server, const std::string& file) {
    test::ServerDatabase photos(server);
    const std::string address = bench::addressOver(way, server, photos);
    std::ostringstream out, err;
    if (copyCollectionTo(file, address, out, err, false) != 0) {
        std::fprintf(stderr, "%s", err.str().c_str());
        std::abort();
    }
    std::vector<double> cold, fromFile;
    {
        std::unique_ptr<MainWindow> onServer = windowOn(address, false), onFile = windowOn(file, false);
        for (int run = 0; run < kSteps; ++run) {
            wrapAtEnd(*onServer);
            wrapAtEnd(*onFile);
            bench::timeInTurn(
                run, [&] { bench::nextPicture(*onServer); }, cold, [&] { bench::nextPicture(*onFile); }, fromFile);
        }
    }
    std::vector<double> warm;
    {
        std::unique_ptr<MainWindow> onServer = windowOn(address, true);
        for (int run = 0; run < kSteps; ++run) {
            wrapAtEnd(*onServer);
            bench::idle(300);  // the neighbour is decoded ahead meanwhile
            warm.push_back(bench::timeMs([&] { bench::nextPicture(*onServer); }));
        }
    }
    bench::report("server_next_cold_ms_" + way, bench::median(cold), "ms");
    bench::report("file_next_cold_ms_" + way, bench::median(fromFile), "ms");
    bench::report("server_next_cold_ratio_" + way, bench::median(cold) / bench::median(fromFile), "x");
    bench::report("server_next_warm_ms_" + way, bench::percentile90(warm), "ms");
    bench::report("server_next_warm_median_ms_" + way, bench::median(warm), "ms");
}

// A collection file of distinct 12 MP photos, made once and kept under the build folder.
std::string photoFile() {
    const std::string path = bench::cacheDir() + "/server-photos-4000x3000.vlm";
    if (std::filesystem::exists(path)) return path;
    std::filesystem::create_directories(bench::cacheDir());
    std::vector<CollectionRecord> records;
    for (int i = 0; i < kPhotos; ++i) records.push_back({"照片" + std::to_string(i + 1), tools::syntheticJpeg(4000, 3000, i)});
    createCollection(path + ".part", records);
    std::filesystem::rename(path + ".part", path);
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const std::string scratch = bench::scratchDir("server-window");
    const std::string file = photoFile();
    {
        bench::BenchServer running(scratch);
        if (running.setting()) {
            for (const std::string& way : bench::kServerWays) openFigures(way, *running.setting());
            for (const std::string& way : bench::kServerWays) nextFigures(way, *running.setting(), file);
        } else {
            std::printf("server window benchmarks skipped: %s\n", running.whyNot().c_str());
        }
    }
    std::filesystem::remove_all(scratch);
    return 0;
}
