// Adding pictures through the adding commands' store path (read the file, encode
// when it is a bitmap, append, post) against the floors: the same pixels compressed
// straight with libjpeg, and a JPEG file's bytes inserted with plain SQLite.
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "bench/measure.h"
#include "store/database/collection_file.h"
#include "store/database/connection.h"
#include "store/database/picture_query.h"
#include "store/imagefile/bmp_writer.h"
#include "store/imagefile/picture_file.h"
#include "tests/picture/libjpeg_reference.h"
#include "tools/synthetic_picture.h"

using namespace velmora;

namespace {

const int kRuns = 9;

void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// What LoadFormFileClick does to the store once the name is confirmed.
void addThroughStore(PictureQuery& query, const std::string& file) {
    JpegPicture picture = loadPictureFile(file);
    query.append();
    query.fieldByName("filename").setAsString("图片");
    query.fieldByName("picture").writeBytes(picture.jpegData());
    query.post();
}

void insertPlain(sqlite3* db, const std::string& file) {
    Bytes bytes = readBytes(file);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO pictures (filename, picture) VALUES ('图片', ?1)", -1, &statement, nullptr);
    sqlite3_bind_blob(statement, 1, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
    sqlite3_step(statement);
    sqlite3_finalize(statement);
}

}  // namespace

int main() {
    std::string dir = bench::scratchDir("add");
    std::string bmpFile = dir + "/photo.bmp";
    std::string jpgFile = dir + "/photo.jpg";
    Bitmap bitmap = tools::syntheticBitmap(4000, 3000, 2);
    writeBytes(bmpFile, encodeBmp(bitmap));
    Bytes jpeg = tools::syntheticJpeg(4700, 3500, 4);
    writeBytes(jpgFile, jpeg);

    std::string storePath = dir + "/store.vlm";
    std::string plainPath = dir + "/plain.vlm";
    createCollection(storePath);
    createCollection(plainPath);

    Connection connection;
    connection.setConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + storePath +
                                   ";Persist Security Info=False");
    PictureQuery query(connection);
    query.activate();
    sqlite3* plain = nullptr;
    sqlite3_open_v2(plainPath.c_str(), &plain, SQLITE_OPEN_READWRITE, nullptr);

    // Each figure and its floor take turns, so a change of clock speed meets both.
    auto [addBmp, rawEncode] = bench::medianPairMs(
        kRuns, [&] { addThroughStore(query, bmpFile); }, [&] { test::referenceEncode(bitmap); });
    auto [addJpg, copyInsert] = bench::medianPairMs(
        kRuns, [&] { addThroughStore(query, jpgFile); }, [&] { insertPlain(plain, jpgFile); });

    bench::report("jpg_file_mb", static_cast<double>(jpeg.size()) / (1024.0 * 1024.0), "MB");
    bench::report("add_bmp_ms", addBmp, "ms");
    bench::report("raw_encode_ms", rawEncode, "ms");
    bench::report("add_bmp_ratio", addBmp / rawEncode, "x");
    bench::report("add_jpg_ms", addJpg, "ms");
    bench::report("copy_insert_ms", copyInsert, "ms");
    bench::report("add_jpg_ratio", addJpg / copyInsert, "x");

    sqlite3_close(plain);
    query.close();
    connection.close();
    std::filesystem::remove_all(dir);
    return 0;
}
