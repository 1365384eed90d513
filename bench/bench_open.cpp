// A 100,000-record picture data file of small pictures through the picture query:
// opening against walking its rowids with plain SQLite, a name filter matching 1 %
// against the same LIKE query in plain SQLite, the look for a picture stored already
// (before an add) against the rowid walk, a move with the refresh's reads, and the
// peak memory of a fresh process that opens the file and walks 1,000 records.
#include <sqlite3.h>

#include <filesystem>

#include "bench/child_process_figure.h"
#include "bench/measure.h"
#include "store/database/collection_file.h"
#include "store/database/connection.h"
#include "store/database/picture_digests.h"
#include "store/database/picture_query.h"
#include "store/picture/jpeg_picture.h"
#include "tools/synthetic_picture.h"

using namespace velmora;

namespace {

const int kRecords = 100000;
const int kRuns = 7;
// The main window's name filter.
const char* const kFilter = "select * from pictures where filename like '%' || ?1 || '%'\r\n";

// Made once and kept under the build folder: every 100th name holds "猫".
std::string cachedFile() {
    const std::string path = bench::cacheDir() + "/open100k.vlm";
    if (std::filesystem::exists(path)) return path;
    std::filesystem::create_directories(bench::cacheDir());
    std::vector<Bytes> streams;
    for (int i = 0; i < 8; ++i) streams.push_back(tools::syntheticJpeg(160, 120, i));
    createCollection(path + ".part");
    for (int first = 0; first < kRecords; first += 5000) {
        std::vector<CollectionRecord> records;
        for (int i = first; i < first + 5000; ++i) {
            const std::string name = (i % 100 == 50 ? "猫" : "图片") + std::to_string(i + 1);
            records.push_back({name, streams[static_cast<size_t>(i % 8)]});
        }
        appendRecords(path + ".part", records);
    }
    std::filesystem::rename(path + ".part", path);
    return path;
}

std::string connectionString(const std::string& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + path + ";Persist Security Info=False";
}

void scan(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    volatile sqlite3_int64 sum = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) sum = sum + sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
}

// What the main window's refresh reads of the current record: the null test and the
// picture's headers.
void refresh(PictureQuery& query) {
    Field field = query.fieldByName("picture");
    if (field.isNull()) return;
    JpegPicture picture;
    if (auto deferred = field.deferredBytes()) {
        picture.readStored(*deferred);
    } else {
        picture.readStored(field.asBytes());
    }
}

// Child: a fresh process opening the file and walking 1,000 records.
int walkPeak(const std::string& path) {
    const double before = bench::peakResidentMb();
    Connection connection;
    connection.setConnectionString(connectionString(path));
    PictureQuery query(connection);
    query.activate();
    refresh(query);
    for (int i = 0; i < 1000; ++i) {
        query.next();
        refresh(query);
        query.displayName(query.currentRow());
    }
    bench::report("rss_100k_mb", bench::peakResidentMb() - before, "MB");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = cachedFile();
    if (argc == 2 && std::string(argv[1]) == "--walk") return walkPeak(path);

    Connection connection;
    connection.setConnectionString(connectionString(path));
    connection.open();
    PictureQuery query(connection);
    sqlite3* db = connection.handle();
    scan(db, "SELECT rowid FROM pictures");  // the same warm page cache for every figure

    auto [open, rowidScan] = bench::medianPairMs(
        kRuns,
        [&] {
            query.close();
            query.setSql("Select * from pictures");
            query.activate();
            refresh(query);
        },
        [&] { scan(db, "SELECT rowid FROM pictures"); });
    auto [filter, likeQuery] = bench::medianPairMs(
        kRuns,
        [&] {
            query.setSql(kFilter, {"猫"});
            query.activate();
            refresh(query);
        },
        [&] { scan(db, "SELECT rowid FROM pictures WHERE filename LIKE '%猫%'"); });
    if (query.recordCount() != kRecords / 100) std::abort();
    // Looking for a picture before adding it: one of a length no stored picture has, as
    // almost every new picture is, costs a pass over the records' headers.
    const Bytes fresh(123457, 0x5a);
    auto [duplicateLook, rowidScanAgain] = bench::medianPairMs(
        kRuns, [&] { if (findStoredDuplicate(connection, fresh)) std::abort(); },
        [&] { scan(db, "SELECT rowid FROM pictures"); });
    // The looks that follow in the same file (a batch of files added, the next add)
    // keep the lengths read by the first: only rows of the same length are read.
    PictureLengths lengths;
    if (findStoredDuplicate(connection, fresh, &lengths)) std::abort();
    const double keptLook = bench::medianMs(kRuns, [&] { if (findStoredDuplicate(connection, fresh, &lengths)) std::abort(); });

    query.setSql("Select * from pictures");
    query.activate();
    const int moves = 5000;
    const double walk = bench::timeMs([&] {
        for (int i = 0; i < moves; ++i) {
            query.next();
            refresh(query);
        }
    });
    query.close();
    connection.close();
    const double rss = bench::runChildFigures("/proc/self/exe", {"--walk"})["rss_100k_mb"];

    bench::report("open_100k_ms", open, "ms");
    bench::report("rowid_scan_ms", rowidScan, "ms");
    bench::report("open_ratio", open / rowidScan, "x");
    bench::report("filter_100k_ms", filter, "ms");
    bench::report("like_query_ms", likeQuery, "ms");
    bench::report("filter_ratio", filter / likeQuery, "x");
    bench::report("duplicate_look_100k_ms", duplicateLook, "ms");
    bench::report("duplicate_look_ratio", duplicateLook / rowidScanAgain, "x");
    bench::report("duplicate_look_kept_100k_ms", keptLook, "ms");
    bench::report("duplicate_look_kept_ratio", keptLook / rowidScanAgain, "x");
    bench::report("walk_100k_us", walk * 1000.0 / moves, "us");
    bench::report("rss_100k_mb", rss, "MB");
    return 0;
}
