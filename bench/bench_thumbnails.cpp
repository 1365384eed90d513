// The thumbnail window's figures. The first screen, 30 thumbnails of 12 MP photos for a
// screen of device pixel ratio 2, with nothing kept (against libjpeg decoding the same 30
// at 1/8 on one core) and with everything kept; and opening the window's first screen on
// a 100,000-picture collection (the query's opening with the rows' names and the work
// asked for) against opening the query alone. Then the real Qt window on a 100,000-picture
// collection whose thumbnails are all kept: every frame of a scroll from top to bottom,
// and the process's peak memory against a process showing the main window alone, at
// device pixel ratios 1 and 2.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "bench/child_process_figure.h"
#include "bench/measure.h"
#include "bench/window_steps.h"
#include "qt_window/main_window.h"
#include "qt_window/thumbnail_window.h"
#include "browser/thumbnail_form.h"
#include "browser/thumbnail_worker.h"
#include "store/database/collection_file.h"
#include "store/database/connection.h"
#include "store/database/picture_query.h"
#include "store/picture/jpeg_encoder.h"
#include "store/picture/jpeg_picture.h"
#include "store/thumbnails/collection_pictures.h"
#include "store/thumbnails/thumbnail_picture.h"
#include "tests/picture/libjpeg_reference.h"
#include "tools/synthetic_picture.h"

using namespace velmora;
using bench::PaintCounter;

namespace {

const int kScreen = 30;
const int kRuns = 5;
const int kDeviceEdge = 2 * ThumbnailForm::kSmallEdge;

// Made once and kept under the build folder: count pictures of width x height, cycling
// through `kinds` generated ones.
std::string keptCollection(const std::string& name, int count, int width, int height, int kinds) {
    const std::string path = bench::cacheDir() + "/" + name;
    if (std::filesystem::exists(path)) return path;
    std::filesystem::create_directories(bench::cacheDir());
    std::vector<Bytes> pictures;
    for (int i = 0; i < kinds; ++i) pictures.push_back(tools::syntheticJpeg(width, height, i));
    createCollection(path + ".part");
    std::vector<CollectionRecord> batch;
    for (int i = 0; i < count; ++i) {
        batch.push_back({"照片" + std::to_string(i + 1), pictures[static_cast<std::size_t>(i % kinds)]});
        if (batch.size() == 5000 || i + 1 == count) appendRecords(path + ".part", std::exchange(batch, {}));
    }
    std::filesystem::rename(path + ".part", path);
    return path;
}

std::vector<ThumbnailKey> firstScreen() {
    std::vector<ThumbnailKey> keys;
    for (int row = 0; row < kScreen; ++row) keys.push_back({row + 1, kDeviceEdge});
    return keys;
}

// One screen made by a new worker (as when the window opens), until the last arrives.
void makeScreen(const std::string& collection, const std::shared_ptr<ThumbnailStore>& store) {
    ThumbnailWorker worker(collection, store, nullptr);
    worker.want(firstScreen());
    worker.waitUntilIdle();
    if (worker.take().size() != kScreen) std::abort();
}

std::string connectionString(const std::string& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + path + ";Persist Security Info=False";
}

// ---- The kept 100,000-picture grid ----

const int kGridPictures = 100000;
const int kGridKinds = 8;

// A picture of two flat colours, whose thumbnails are small enough that a store within
// its default cap keeps all 100,000 of them.
Bytes plainPicture(int kind) {
    Bitmap bitmap(256, 192, Bitmap::Format::Bgr24);
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            std::uint8_t* pixel = bitmap.scanLine(y) + 3 * x;
            const bool upper = y < bitmap.height() / 2;
            pixel[0] = static_cast<std::uint8_t>(upper ? 40 * kind : 250 - 20 * kind);
            pixel[1] = static_cast<std::uint8_t>(upper ? 120 : 30 * kind);
            pixel[2] = static_cast<std::uint8_t>(upper ? 200 - 25 * kind : 90);
        }
    }
    return encodeJpeg(bitmap, JpegDefaults{});
}

// The kind's picture with the row's number in a comment segment after SOI: every row has
// content of its own (its own kept thumbnail) while decoding to one of a few pictures.
Bytes numberedPicture(const Bytes& picture, int row) {
    const std::string note = "row " + std::to_string(row);
    const std::size_t length = note.size() + 2;
    const std::uint8_t comment[] = {0xFF, 0xFE, static_cast<std::uint8_t>(length >> 8),
                                    static_cast<std::uint8_t>(length & 0xFF)};
    Bytes numbered;
    numbered.reserve(picture.size() + 4 + note.size());
    numbered.insert(numbered.end(), picture.begin(), picture.begin() + 2);
    numbered.insert(numbered.end(), std::begin(comment), std::end(comment));
    numbered.insert(numbered.end(), note.begin(), note.end());
    numbered.insert(numbered.end(), picture.begin() + 2, picture.end());
    return numbered;
}

std::string gridCollection() {
    const std::string path = bench::cacheDir() + "/thumbs-grid100k.vlm";
    if (std::filesystem::exists(path)) return path;
    std::filesystem::create_directories(bench::cacheDir());
    std::vector<Bytes> kinds;
    for (int kind = 0; kind < kGridKinds; ++kind) kinds.push_back(plainPicture(kind));
    createCollection(path + ".part");
    std::vector<CollectionRecord> batch;
    for (int i = 0; i < kGridPictures; ++i) {
        batch.push_back({"照片" + std::to_string(i + 1), numberedPicture(kinds[static_cast<std::size_t>(i % kGridKinds)], i)});
        if (batch.size() == 5000 || i + 1 == kGridPictures) appendRecords(path + ".part", std::exchange(batch, {}));
    }
    std::filesystem::rename(path + ".part", path);
    return path;
}

// Fills the store as the window would leave it after showing every picture at edge:
// each row's content remembered under the collection's stamp, each content's thumbnail
// kept. Done once; again only when something wrote the collection.
void keepGrid(const std::string& collection, const std::string& storePath, int edge) {
    ThumbnailStore store(storePath);
    const CollectionStamp stamp = collectionStamp(collection);
    if (store.rowContent(stamp, kGridPictures)) return;
    std::map<int, Bytes> thumbnails;  // by kind
    CollectionPictures pictures(collection);
    for (int row = 0; row < kGridPictures; ++row) {
        JpegPicture stored;
        stored.readStored(pictures.picture(row + 1));
        const SharedBytes jpeg = stored.jpegData();
        const Sha256Digest content = sha256(jpeg->data(), jpeg->size());
        store.rememberRow(stamp, row + 1, content);
        Bytes& thumbnail = thumbnails[row % kGridKinds];
        if (thumbnail.empty()) {
            JpegDefaults settings;
            settings.quality = 85;
            thumbnail = encodeJpeg(makeThumbnail(*jpeg, edge).bitmap, settings);
        }
        store.keep(content, edge, thumbnail);
    }
    if (!store.rowContent(stamp, kGridPictures) || store.heldBytes() < std::int64_t{kGridPictures} * 100) std::abort();
}

void processEventsFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Child: the main window alone on the collection.
int mainWindowPeak(const std::string& collection, const std::string& storePath) {
    BrowserServices services;
    services.thumbnailStore = storePath;
    MainWindow form(services, collection);
    form.show();
    processEventsFor(300);
    bench::report("main_peak_mb", bench::peakResidentMb(), "MB");
    return 0;
}

// Child: the thumbnail window over the main window, scrolled a screen at a time from the
// top to the bottom. Each step is two frames, both timed: the scroll with what is already
// made drawn (placeholders for the rest), and, once the pictures asked for are made, the
// screen with them. A frame is everything the window's thread does for it: the scroll,
// then the events waiting and those they post (the made pictures taken, the new rows
// asked for, the paint of the viewport).
int scrollGrid(const std::string& collection, const std::string& storePath) {
    BrowserServices services;
    services.thumbnailStore = storePath;
    MainWindow form(services, collection);
    form.show();
    form.action("Thumbnails")->trigger();
    ThumbnailWindow* window = form.thumbnailWindow();
    window->resize(760, 520);
    processEventsFor(300);
    ThumbnailGrid* grid = window->grid();
    QScrollBar* bar = grid->verticalScrollBar();
    ThumbnailWorker* worker = form.browser().thumbnails().workerForTesting();
    if (bar->maximum() <= 0 || !worker) std::abort();
    std::vector<double> frames;
    PaintCounter counter;
    grid->viewport()->installEventFilter(&counter);
    auto frame = [&](const std::function<void()>& step) {
        frames.push_back(bench::timeMs([&] {
            step();
            QApplication::processEvents();
            QApplication::processEvents();
        }));
    };
    int steps = 0;
    for (int value = 0;; value = std::min(value + bar->pageStep(), bar->maximum()), ++steps) {
        frame([&] { bar->setValue(value); });
        QApplication::processEvents();  // the rows on screen are asked for
        worker->waitUntilIdle();
        frame([] {});
        if (value == bar->maximum()) break;
    }
    if (counter.paints < steps) std::abort();  // the frames must have painted what they scrolled to
    std::sort(frames.begin(), frames.end());
    bench::report("scroll_frames", static_cast<double>(frames.size()), "frames");
    bench::report("scroll_frame_p99_ms", frames[frames.size() * 99 / 100], "ms");
    bench::report("scroll_frame_max_ms", frames.back(), "ms");
    bench::report("thumbs_peak_mb", bench::peakResidentMb(), "MB");
    return 0;
}

// The grid's figures at a device pixel ratio, each child with a store of its own.
void reportGrid(const std::string& collection, const std::string& scratch, int ratio) {
    const std::string self = "/proc/self/exe";
    const std::string suffix = ratio == 1 ? "" : "_dpr" + std::to_string(ratio);
    const std::string storePath = bench::cacheDir() + "/thumbs-grid100k-" + std::to_string(ratio) + ".db";
    keepGrid(collection, storePath, ratio * ThumbnailForm::kSmallEdge);
    // The children work on a copy: what one run touches never changes the next run's start.
    const std::string copy = scratch + "/grid.db";
    std::filesystem::copy_file(storePath, copy, std::filesystem::copy_options::overwrite_existing);
    if (ratio != 1) setenv("QT_SCALE_FACTOR", std::to_string(ratio).c_str(), 1);
    const double mainPeak = bench::runChildFigures(self, {"--main", collection, copy})["main_peak_mb"];
    std::map<std::string, double> scroll = bench::runChildFigures(self, {"--scroll", collection, copy});
    unsetenv("QT_SCALE_FACTOR");
    bench::report("thumbs_scroll_frame_p99_ms" + suffix, scroll["scroll_frame_p99_ms"], "ms");
    bench::report("thumbs_scroll_frame_max_ms" + suffix, scroll["scroll_frame_max_ms"], "ms");
    bench::report("thumbs_scroll_frames" + suffix, scroll["scroll_frames"], "frames");
    bench::report("thumbs_peak_mb_above_main" + suffix, scroll["thumbs_peak_mb"] - mainPeak, "MB");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4) {
        QApplication application(argc, argv);
        const std::string mode = argv[1];
        if (mode == "--main") return mainWindowPeak(argv[2], argv[3]);
        if (mode == "--scroll") return scrollGrid(argv[2], argv[3]);
        return 2;
    }
    // Distinct photos: none is the kept thumbnail of another.
    const std::string photos = keptCollection("thumbs30.vlm", kScreen, 4000, 3000, kScreen);
    std::vector<Bytes> streams;
    {
        Connection connection;
        connection.setConnectionString(connectionString(photos));
        PictureQuery query(connection);
        query.activate();
        for (int row = 0; row < kScreen; ++row) streams.push_back(*query.blobAt(row, "picture"));
    }
    const std::string scratch = bench::scratchDir("thumbs");
    std::vector<double> cold, kept, reference;
    for (int run = 0; run < kRuns; ++run) {
        const std::string storePath = scratch + "/thumbnails-" + std::to_string(run) + ".db";
        auto store = std::make_shared<ThumbnailStore>(storePath);
        bench::timeInTurn(
            run, [&] { makeScreen(photos, store); }, cold,
            [&] {
                for (const Bytes& stream : streams) test::referenceDecode(stream, JCS_EXT_BGR, 8);
            },
            reference);
        kept.push_back(bench::timeMs([&] { makeScreen(photos, std::make_shared<ThumbnailStore>(storePath)); }));
    }

    const std::string large = keptCollection("thumbs100k.vlm", 100000, 160, 120, 8);
    Connection connection;
    connection.setConnectionString(connectionString(large));
    connection.open();
    PictureQuery query(connection);
    auto store = std::make_shared<ThumbnailStore>(scratch + "/thumbnails-100k.db");
    auto [windowOpen, open] = bench::medianPairMs(
        kRuns,
        [&] {
            query.close();
            query.activate();
            ThumbnailWorker worker(large, store, nullptr);
            std::vector<ThumbnailKey> keys;
            for (int row = 0; row < kScreen; ++row) {
                query.displayName(row);
                keys.push_back({*query.rowidAt(row), kDeviceEdge});
            }
            worker.want({});  // asked, and dropped again: the window's own cost, not the making
        },
        [&] {
            query.close();
            query.activate();
        });

    // The windows' settings in a folder of the run's own.
    setenv("XDG_CONFIG_HOME", scratch.c_str(), 1);
    const std::string grid = gridCollection();
    reportGrid(grid, scratch, 1);
    reportGrid(grid, scratch, 2);
    std::filesystem::remove_all(scratch);

    const double coldMs = bench::median(cold), referenceMs = bench::median(reference);
    bench::report("thumbs_first_screen_cold_ms", coldMs, "ms");
    bench::report("libjpeg_eighth_30_ms", referenceMs, "ms");
    bench::report("thumbs_first_screen_cold_ratio", coldMs / referenceMs, "x");
    bench::report("thumbs_first_screen_kept_ms", bench::median(kept), "ms");
    bench::report("thumbs_open_100k_ms", windowOpen, "ms");
    bench::report("open_100k_ms", open, "ms");
    bench::report("thumbs_open_100k_ratio", windowOpen / open, "x");
    return 0;
}
