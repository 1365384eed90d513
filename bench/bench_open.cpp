// Opening a 10,000-record picture data file through the picture query, against the
// floor of walking its rowids with plain SQLite and a fetch-everything cursor.
#include <sqlite3.h>

#include <filesystem>
#include <random>

#include "bench/measure.h"
#include "store/database/connection.h"
#include "store/database/picture_query.h"
#include "tools/collection_file.h"

using namespace velmora;

namespace {

const int kRecords = 10000;
const size_t kPictureBytes = 16 * 1024;
const int kRuns = 7;

std::string makeFile(const std::string& dir) {
    std::string path = dir + "/open10k.vlm";
    tools::createCollection(path);
    std::mt19937 random(7);
    for (int first = 0; first < kRecords; first += 500) {
        std::vector<tools::CollectionRecord> records;
        for (int i = first; i < first + 500; ++i) {
            Bytes bytes(kPictureBytes);
            for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
            records.push_back({"图片" + std::to_string(i + 1), std::move(bytes)});
        }
        tools::appendRecords(path, records);
    }
    return path;
}

std::string connectionString(const std::string& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + path + ";Persist Security Info=False";
}

double rowidScanMs(sqlite3* db) {
    return bench::medianMs(kRuns, [&] {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT rowid FROM pictures", -1, &statement, nullptr);
        volatile sqlite3_int64 sum = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) sum = sum + sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
    });
}

double fullFetchMs(sqlite3* db) {
    return bench::medianMs(3, [&] {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT filename, picture FROM pictures", -1, &statement, nullptr);
        std::vector<std::pair<std::string, Bytes>> rows;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            auto name = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            auto data = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, 1));
            rows.emplace_back(name, Bytes(data, data + sqlite3_column_bytes(statement, 1)));
        }
        sqlite3_finalize(statement);
    });
}

}  // namespace

int main() {
    std::string dir = bench::scratchDir("open");
    std::string path = makeFile(dir);

    Connection connection;
    connection.setConnectionString(connectionString(path));
    connection.open();
    PictureQuery query(connection);

    // Warm the page cache the same way for every figure.
    double scan = rowidScanMs(connection.handle());
    double full = fullFetchMs(connection.handle());

    double open = bench::medianMs(kRuns, [&] {
        query.close();
        query.activate();
        auto bytes = query.fieldByName("picture").asBytes();
        if (bytes->size() != kPictureBytes) std::abort();
    });

    query.close();
    double before = bench::residentMb();
    query.activate();
    query.fieldByName("picture").asBytes();
    double rss = bench::residentMb() - before;

    const int moves = kRecords - 1;
    double walk = bench::timeMs([&] {
        for (int i = 0; i < moves; ++i) query.next();
    });

    bench::report("open_10k_ms", open, "ms");
    bench::report("rowid_scan_ms", scan, "ms");
    bench::report("full_fetch_ms", full, "ms");
    bench::report("open_ratio", open / scan, "x");
    bench::report("open_vs_full_fetch", open / full, "x");
    bench::report("next_us", walk * 1000.0 / moves, "us");
    bench::report("open_rss_mb", rss, "MB");

    query.close();
    connection.close();
    std::filesystem::remove_all(dir);
    return 0;
}
