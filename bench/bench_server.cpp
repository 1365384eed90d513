// Server collections against libpq doing the same work, on a server this program starts
// (tools/test-server.sh), over its Unix socket and over TCP loopback: adding a 12 MP
// JPEG against a plain INSERT of its bytes, a picture's bytes against the same from a
// file, and copying a collection file to the server against a binary COPY ... FROM
// STDIN of the same rows. The window's figures are bench_server_window's.
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "bench/measure.h"
#include "bench/server_run.h"
#include "cli/collection_transfer.h"
#include "store/imagefile/picture_file.h"
#include "store/server/open_collection.h"
#include "tools/synthetic_picture.h"

using namespace velmora;

namespace {

const int kRuns = 7;

// A raw libpq connection for the reference figures.
struct RawConnection {
    explicit RawConnection(const std::string& address) : conn(PQconnectdb(address.c_str())) {}
    ~RawConnection() { PQfinish(conn); }
    void exec(const std::string& sql) { PQclear(PQexec(conn, sql.c_str())); }
    PGconn* conn;
};

void insertRaw(RawConnection& raw, const Bytes& bytes) {
    const char* values[] = {"图片", reinterpret_cast<const char*>(bytes.data())};
    const int lengths[] = {0, static_cast<int>(bytes.size())};
    const int formats[] = {0, 1};
    PQclear(PQexecParams(raw.conn, "INSERT INTO pictures (filename, picture) VALUES ($1, $2)", 2, nullptr, values,
                         lengths, formats, 0));
}

void appendBigEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The file's rows sent as one binary COPY, as bulk loaders do.
void copyRaw(RawConnection& raw, const std::string& file) {
    raw.exec("CREATE TABLE pictures (filename text, picture bytea, velmora_key bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY)");
    PQclear(PQexec(raw.conn, "COPY pictures (filename, picture) FROM STDIN (FORMAT binary)"));
    std::string header("PGCOPY\n\377\r\n\0", 11);
    appendBigEndian(header, 0, 4);
    appendBigEndian(header, 0, 4);
    PQputCopyData(raw.conn, header.data(), static_cast<int>(header.size()));
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* rows = nullptr;
    sqlite3_prepare_v2(db, "SELECT filename, picture FROM pictures", -1, &rows, nullptr);
    while (sqlite3_step(rows) == SQLITE_ROW) {
        std::string row;
        appendBigEndian(row, 2, 2);
        for (int column = 0; column < 2; ++column) {
            const int size = sqlite3_column_bytes(rows, column);
            appendBigEndian(row, static_cast<std::uint32_t>(size), 4);
            PQputCopyData(raw.conn, row.data(), static_cast<int>(row.size()));
            PQputCopyData(raw.conn, static_cast<const char*>(sqlite3_column_blob(rows, column)), size);
            row.clear();
        }
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
    PQputCopyData(raw.conn, "\xFF\xFF", 2);
    PQputCopyEnd(raw.conn, nullptr);
    PQclear(PQgetResult(raw.conn));
}

std::string makeFile(const std::string& path, int pictures, int size) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, ("PRAGMA journal_mode=OFF; CREATE TABLE pictures (filename TEXT, picture BLOB); WITH n(i) AS (SELECT 1"
                      " UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(pictures) +
                      ") INSERT INTO pictures SELECT 'p' || i, randomblob(" + std::to_string(size) + ") FROM n").c_str(),
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}

void benchOver(const std::string& way, const test::ServerSetting& server, const std::string& scratch) {
    auto address = [&](const test::ServerDatabase& database) { return bench::addressOver(way, server, database); };
    const Bytes jpeg = tools::syntheticJpeg(4000, 3000, 4);
    const std::string jpgFile = scratch + "/photo.jpg";
    std::ofstream(jpgFile, std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));

    // Adding one picture.
    test::ServerDatabase addInto(server), plainInto(server);
    for (auto* database : {&addInto, &plainInto}) {
        database->run("CREATE TABLE pictures (filename text, picture bytea, velmora_key bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY)");
    }
    std::unique_ptr<CollectionStore> store = openCollection(address(addInto));
    RawConnection raw(address(plainInto));
    auto [add, insert] = bench::medianPairMs(
        kRuns, [&] { store->add("图片", loadPictureFile(jpgFile).jpegData()); },
        [&] {
            std::ifstream in(jpgFile, std::ios::binary);
            insertRaw(raw, Bytes(std::istreambuf_iterator<char>(in), {}));
        });
    bench::report("server_add_ms_" + way, add, "ms");
    bench::report("libpq_insert_ms_" + way, insert, "ms");
    bench::report("server_add_ratio_" + way, add / insert, "x");

    // A picture's bytes, against the same from a file.
    const std::string file = makeFile(scratch + "/one.vlm", 1, static_cast<int>(jpeg.size()));
    std::unique_ptr<CollectionStore> local = openCollection(file);
    const std::int64_t key = store->names().front().key;
    auto [fromServer, fromFile] = bench::medianPairMs(kRuns, [&] { store->picture(key); }, [&] { local->picture(1); });
    bench::report("server_picture_ratio_" + way, fromServer / fromFile, "x");

}

}  // namespace

int main() {
    const std::string scratch = bench::scratchDir("server");
    std::optional<bench::BenchServer> running(scratch);
    if (!running->setting()) {
        std::printf("server benchmarks skipped: %s\n", running->whyNot().c_str());
        return 0;
    }
    const test::ServerSetting& server = *running->setting();
    for (const std::string& way : bench::kServerWays) benchOver(way, server, scratch);

    // Copying a collection file of VELMORA_BENCH_COPY_MB (1024) MB of 3 MB pictures.
    const char* megabytes = std::getenv("VELMORA_BENCH_COPY_MB");
    const int size = 3 << 20, pictures = std::max(1, (megabytes ? std::atoi(megabytes) : 1024) / 3);
    const std::string source = makeFile(scratch + "/copy.vlm", pictures, size);
    {
        test::ServerDatabase copyInto(server), plainInto(server);
        std::ostringstream out, err;
        const double copy = bench::timeMs([&] { copyCollectionTo(source, copyInto.address(), out, err, false); });
        RawConnection raw(plainInto.address());
        const double bulk = bench::timeMs([&] { copyRaw(raw, source); });
        bench::report("copy_collection_mb_s", static_cast<double>(pictures) * 3 / (copy / 1000), "MB/s");
        bench::report("copy_bulk_mb_s", static_cast<double>(pictures) * 3 / (bulk / 1000), "MB/s");
        bench::report("copy_collection_ratio", copy / bulk, "x");
    }
    running.reset();
    std::filesystem::remove_all(scratch);
    return 0;
}
