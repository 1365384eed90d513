// Browsing through the real main window (offscreen) on files of 4000 x 3000 pictures:
// the next picture not decoded ahead against a full libjpeg decode of the same bytes,
// greyscale against colour, the next picture after a pause (decoded ahead), a held key
// against presses after a pause, process start to the first picture, and the peak
// memory of a fresh process walking 24 pictures at device pixel ratios 1 and 2.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "bench/child_process_figure.h"
#include "base/process_memory.h"
#include "bench/measure.h"
#include "bench/window_steps.h"
#include "qt_window/main_window.h"
#include "store/database/collection_file.h"
#include "store/picture/reduced_scan_decoder.h"
#include "tests/picture/libjpeg_reference.h"
#include "tools/synthetic_picture.h"

using namespace velmora;
using bench::idle;
using bench::nextPicture;
using bench::percentile90;

namespace {

const int kPictures = 24;
const int kWidth = 4000;
const int kHeight = 3000;

Bytes grayJpeg(int variant) {
    const Bitmap colour = tools::syntheticBitmap(kWidth, kHeight, variant);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(kWidth));
    test::LibjpegCompressor compressor(kWidth, kHeight, 1, JCS_GRAYSCALE);
    jpeg_set_defaults(&compressor.cinfo);
    jpeg_set_quality(&compressor.cinfo, 90, TRUE);
    return compressor.finish([&](int y) {
        const std::uint8_t* in = colour.scanLine(y);
        for (int x = 0; x < kWidth; ++x) row[static_cast<size_t>(x)] = static_cast<std::uint8_t>((in[3 * x] + in[3 * x + 1] + 2 * in[3 * x + 2]) / 4);
        return row.data();
    });
}

// The folder's pictures.vlm, made once and kept under the build folder. gray: every
// second picture greyscale.
std::string cachedFile(const std::string& name, bool gray) {
    const std::string dir = bench::cacheDir() + "/" + name;
    const std::string path = dir + "/pictures.vlm";
    if (std::filesystem::exists(path)) return dir;
    std::filesystem::create_directories(dir);
    std::vector<Bytes> colour, grey;
    for (int i = 0; i < 6; ++i) colour.push_back(tools::syntheticJpeg(kWidth, kHeight, i));
    if (gray) {
        for (int i = 0; i < 3; ++i) grey.push_back(grayJpeg(i));
    }
    std::vector<CollectionRecord> records;
    for (int i = 0; i < kPictures; ++i) {
        const Bytes& picture = gray && i % 2 == 1 ? grey[static_cast<size_t>(i / 2 % 3)] : colour[static_cast<size_t>(i % 6)];
        records.push_back({"图片" + std::to_string(i + 1), picture});
    }
    createCollection(path + ".part", records);
    std::filesystem::rename(path + ".part", path);
    return dir;
}

// Presses of the next button falling due every intervalMs, as the repeats of a held key
// queue up while the window is busy: all that fell due run before the next paint; with
// no interval, each falls due once the last is painted and the worker has gone idle. Each
// picture painted is timed from when the press that brought its record fell due; the
// records passed before their pictures came are not waited for.
std::vector<double> stepLatencies(MainWindow& form, int steps, int intervalMs) {
    PictureQuery& query = form.browser().queryForTesting();
    std::vector<double> due, latencies;
    std::vector<int> rows;
    std::size_t timed = 0;  // presses before this one are painted or passed
    double lastPaint = 0;
    QElapsedTimer clock;
    auto now = [&] { return double(clock.nsecsElapsed()) / 1e6; };
    const QMetaObject::Connection connection = QObject::connect(form.pictureView, &PictureImage::painted, [&] {
        const int shown = query.currentRow();
        lastPaint = now();
        while (timed < rows.size() && rows[timed] <= shown) {
            if (rows[timed] == shown) latencies.push_back(now() - due[timed]);
            ++timed;
        }
    });
    clock.start();
    for (int step = 0; step < steps || timed < rows.size();) {
        NeighbourPreloader* preloader = form.browser().neighbourPreloaderForTesting();
        const bool idle = timed == rows.size() && !preloader->busy() && now() - lastPaint > 50;
        for (bool ready = intervalMs > 0 || idle; step < steps && ready && step * intervalMs <= now(); ready = intervalMs > 0) {
            due.push_back(intervalMs > 0 ? step * intervalMs : now());
            form.button("SpeedButton2")->click();
            rows.push_back(query.currentRow());
            ++step;
        }
        QApplication::processEvents();
        QThread::usleep(500);
    }
    QObject::disconnect(connection);
    return latencies;
}

// Child: process start to the first picture painted.
int firstPicture(QApplication& application) {
    MainWindow form{BrowserServices{}};
    QObject::connect(form.pictureView, &PictureImage::painted, [&] {
        if (!form.pictureView->hasPicture()) return;
        bench::report("first_picture_ms", bench::msSinceProcessStart(), "ms");
        application.quit();
    });
    form.show();
    return application.exec();
}

// Child: a fresh process walking the pictures as a user would, pausing briefly at each.
int walkPeak() {
    MainWindow form{BrowserServices{}};
    form.show();
    idle(50);
    for (int i = 1; i < kPictures; ++i) {
        nextPicture(form);
        idle(40);
    }
    bench::report("walk_peak_mb", bench::peakResidentMb(), "MB");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3) mapLargeBuffersAlone();  // a child starts as the program does
    QApplication application(argc, argv);
    const std::string big = cachedFile("browse-4000x3000", false);
    const std::string mixed = cachedFile("browse-4000x3000-gray", true);
    if (argc == 3) {
        QDir::setCurrent(argv[2]);
        if (std::string(argv[1]) == "--first") return firstPicture(application);
        if (std::string(argv[1]) == "--walk") return walkPeak();
        return 2;
    }

    QDir::setCurrent(QString::fromStdString(big));
    std::vector<double> cold, coldFloor;
    double firstFloor = 0;
    const SplitStatistics splitBefore = splitStatistics();
    {
        MainWindow form{BrowserServices{}};
        form.browser().setNeighbourPreloading(false);
        form.show();
        idle(200);  // shown and exposed: paints reach the screen
        // The floor: the very bytes shown next, decoded whole straight with libjpeg.
        const SharedBytes first = form.browser().queryForTesting().fieldByName("picture").asBytes();
        firstFloor = bench::medianMs(5, [&] { test::referenceDecode(*first, JCS_EXT_BGR); });
        for (int run = 0; run < 20; ++run) {
            if (form.browser().queryForTesting().atEnd()) form.browser().queryForTesting().first();
            const SharedBytes next = form.browser().queryForTesting().blobAt(form.browser().queryForTesting().currentRow() + 1, "picture");
            bench::timeInTurn(
                run, [&] { nextPicture(form); }, cold, [&] { test::referenceDecode(*next, JCS_EXT_BGR); }, coldFloor);
        }
    }

    const SplitStatistics splitAfter = splitStatistics();
    std::vector<double> warm;
    {
        MainWindow form{BrowserServices{}};
        form.show();
        idle(200);
        for (int run = 0; run < 20; ++run) {
            if (form.browser().queryForTesting().atEnd()) {
                form.browser().queryForTesting().first();
                form.pictureView->repaint();
            }
            idle(300);
            warm.push_back(bench::timeMs([&] { nextPicture(form); }));
        }
    }

    // A held key (a press every 8 ms) against presses after a pause, walks taken in turns.
    std::vector<double> held, idleSteps;
    {
        MainWindow form{BrowserServices{}};
        form.show();
        idle(200);
        for (int run = 0; run < 8; ++run) {
            form.browser().queryForTesting().first();
            form.pictureView->repaint();
            idle(300);
            std::vector<double> times = stepLatencies(form, kPictures - 1, run % 2 == 0 ? 8 : 0);
            (run % 2 == 0 ? held : idleSteps).insert((run % 2 == 0 ? held : idleSteps).end(), times.begin(), times.end());
        }
    }

    QDir::setCurrent(QString::fromStdString(mixed));
    std::vector<double> grayTimes, colourTimes;
    {
        MainWindow form{BrowserServices{}};
        form.browser().setNeighbourPreloading(false);
        form.show();
        idle(200);  // shown and exposed: paints reach the screen
        for (int round = 0; round < 2; ++round) {
            form.browser().queryForTesting().first();
            form.pictureView->repaint();
            for (int i = 1; i < kPictures; ++i) {
                const double ms = bench::timeMs([&] { nextPicture(form); });
                (form.pictureView->picture().grayscale() ? grayTimes : colourTimes).push_back(ms);
            }
        }
    }

    const std::string self = "/proc/self/exe";  // the current directory has moved
    std::vector<double> first;
    for (int run = 0; run < 5; ++run) first.push_back(bench::runChildFigures(self, {"--first", big})["first_picture_ms"]);
    const double walkPeakMb = bench::runChildFigures(self, {"--walk", big})["walk_peak_mb"];
    // The same walk at device pixel ratio 2: the bitmaps on screen and ahead are four times larger.
    qputenv("QT_SCALE_FACTOR", "2");
    const double walkPeakMb2 = bench::runChildFigures(self, {"--walk", big})["walk_peak_mb"];
    qunsetenv("QT_SCALE_FACTOR");

    const double coldMs = bench::median(cold), coldFloorMs = bench::median(coldFloor);
    bench::report("next_cold_ms", coldMs, "ms");
    bench::report("full_decode_ms", coldFloorMs, "ms");
    bench::report("next_cold_ratio", coldMs / coldFloorMs, "x");
    // How the display decoder's two threads shared the cold pictures' blocks.
    const double firstBlocks = double(splitAfter.firstBlocks - splitBefore.firstBlocks);
    const double secondBlocks = double(splitAfter.secondBlocks - splitBefore.secondBlocks);
    const double splits = double(splitAfter.decodes - splitBefore.decodes);
    bench::report("split_second_share", firstBlocks + secondBlocks > 0 ? secondBlocks / (firstBlocks + secondBlocks) : 0, "x");
    bench::report("split_met_share", splits > 0 ? double(splitAfter.met - splitBefore.met) / splits : 0, "x");
    bench::report("next_warm_ms", percentile90(warm), "ms");
    bench::report("next_warm_median_ms", bench::median(warm), "ms");
    bench::report("held_key_p90_ms", percentile90(held), "ms");
    bench::report("held_key_median_ms", bench::median(held), "ms");
    bench::report("idle_step_p90_ms", percentile90(idleSteps), "ms");
    bench::report("held_key_p90_ratio", percentile90(held) / percentile90(idleSteps), "x");
    const double grayMs = bench::median(grayTimes), colourMs = bench::median(colourTimes);
    bench::report("next_gray_ms", grayMs, "ms");
    bench::report("next_colour_ms", colourMs, "ms");
    bench::report("next_gray_ratio", grayMs / colourMs, "x");
    const double firstMs = bench::median(first);
    bench::report("first_picture_ms", firstMs, "ms");
    bench::report("first_full_decode_ms", firstFloor, "ms");
    bench::report("first_picture_ratio", firstMs / firstFloor, "x");
    bench::report("walk_peak_mb", walkPeakMb, "MB");
    bench::report("walk_peak_mb_dpr2", walkPeakMb2, "MB");
    return 0;
}
