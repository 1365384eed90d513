// Browsing through the real main window (offscreen): the next-picture button on a
// file of 4000 x 3000 pictures against decoding the same bytes straight with libjpeg,
// the memory a long walk holds, and opening a window on 10,000 records.
#include <QApplication>
#include <QDir>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "bench/measure.h"
#include "browser/main_window.h"
#include "tests/picture/libjpeg_reference.h"
#include "tools/collection_file.h"
#include "tools/synthetic_picture.h"

using namespace velmora;

namespace {

const int kPictures = 200;
const int kDistinct = 6;  // distinct streams, repeated through the file

std::string makeFile(const std::string& path, int records, int width, int height) {
    std::vector<Bytes> streams;
    for (int i = 0; i < kDistinct; ++i) streams.push_back(tools::syntheticJpeg(width, height, i));
    tools::createCollection(path);
    for (int first = 0; first < records; first += 500) {
        std::vector<tools::CollectionRecord> batch;
        for (int i = first; i < std::min(records, first + 500); ++i) {
            batch.push_back({"图片" + std::to_string(i + 1), streams[static_cast<size_t>(i % kDistinct)]});
        }
        tools::appendRecords(path, batch);
    }
    return path;
}

// Paints the picture area as the window system would.
void paint(MainWindow& form) {
    static QImage target(545, 401, QImage::Format_RGB32);
    form.pictureView->render(&target);
}

// One press of the next button, until the new picture has been painted.
void nextPicture(MainWindow& form) {
    form.nextButton->click();
    paint(form);
}

void walk(MainWindow& form) {
    form.pictures.first();
    paint(form);
    for (int i = 1; i < kPictures; ++i) nextPicture(form);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::string dir = bench::scratchDir("browse");
    std::string bigDir = dir + "/big";
    std::string manyDir = dir + "/many";
    std::filesystem::create_directories(bigDir);
    std::filesystem::create_directories(manyDir);
    makeFile(bigDir + "/pictures.vlm", kPictures, 4000, 3000);
    makeFile(manyDir + "/pictures.vlm", 10000, 640, 480);

    // Start to first paint, on 10,000 records.
    QDir::setCurrent(QString::fromStdString(manyDir));
    double openWindow = bench::medianMs(5, [] {
        MainWindow form{BrowserServices{}};
        form.show();
        form.grab();
    });

    QDir::setCurrent(QString::fromStdString(bigDir));
    MainWindow form{BrowserServices{}};
    form.show();
    paint(form);

    std::vector<double> next, raw;
    for (int i = 0; i < 15; ++i) {
        next.push_back(bench::timeMs([&] { nextPicture(form); }));
        // The floor: the very bytes just shown, decoded straight with libjpeg.
        SharedBytes shown = form.pictures.fieldByName("picture").asBytes();
        raw.push_back(bench::timeMs([&] { test::referenceDecode(*shown, JCS_EXT_BGR); }));
    }
    double nextMs = bench::median(next);
    double rawMs = bench::median(raw);

    walk(form);
    double afterFirst = bench::residentMb();
    walk(form);
    double afterSecond = bench::residentMb();

    bench::report("next_picture_ms", nextMs, "ms");
    bench::report("raw_decode_ms", rawMs, "ms");
    bench::report("next_ratio", nextMs / rawMs, "x");
    bench::report("walk_rss_growth_mb", afterSecond - afterFirst, "MB");
    bench::report("open_window_ms", openWindow, "ms");

    std::filesystem::remove_all(dir);
    return 0;
}
