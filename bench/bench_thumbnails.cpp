// The thumbnail window's figures. The first screen, 30 thumbnails of 12 MP photos for a
// screen of device pixel ratio 2, with nothing kept (against libjpeg decoding the same 30
// at 1/8 on one core) and with everything kept; and opening the window's first screen on
// a 100,000-picture collection (the query's opening with the rows' names and the work
// asked for) against opening the query alone.
#include <filesystem>

#include "bench/measure.h"
#include "browser/thumbnail_form.h"
#include "browser/thumbnail_worker.h"
#include "store/database/collection_file.h"
#include "store/database/connection.h"
#include "store/database/picture_query.h"
#include "tests/picture/libjpeg_reference.h"
#include "tools/synthetic_picture.h"

using namespace velmora;

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

}  // namespace

int main() {
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
