#include "tests/support/store_fixture.h"

#include <sqlite3.h>

#include <stdexcept>

#include "tools/synthetic_picture.h"

namespace velmora::test {

std::string connectionStringFor(const std::string& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + path + ";Persist Security Info=False";
}

std::vector<CollectionRecord> namedRecords(const std::vector<std::string>& names) {
    std::vector<CollectionRecord> records;
    for (const auto& name : names) {
        std::string bytes = "picture of " + name;
        records.push_back({name, Bytes(bytes.begin(), bytes.end())});
    }
    return records;
}

std::vector<CollectionRecord> pictureRecords(const std::vector<std::string>& names, int width, int height) {
    std::vector<CollectionRecord> records;
    int variant = 0;
    for (const auto& name : names) records.push_back({name, tools::syntheticJpeg(width, height, variant++)});
    return records;
}

std::vector<Bytes> picturesInFile(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT picture FROM pictures ORDER BY rowid", -1, &statement, nullptr);
    std::vector<Bytes> pictures;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        auto data = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, 0));
        pictures.emplace_back(data, data + sqlite3_column_bytes(statement, 0));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return pictures;
}

std::vector<std::string> namesInFile(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + path);
    }
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT filename FROM pictures ORDER BY rowid", -1, &statement, nullptr);
    std::vector<std::string> names;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        auto text = sqlite3_column_text(statement, 0);
        names.emplace_back(text ? reinterpret_cast<const char*>(text) : "<null>");
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return names;
}

std::string integrityOf(const std::string& path) {
    sqlite3* db = nullptr;
    // Read-write, so that a hot journal left by a killed writer is rolled back first.
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr);
    std::string result = sqlite3_step(statement) == SQLITE_ROW
                             ? reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))
                             : sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "<no error>";
}

OpenStore::OpenStore(const std::string& path) {
    connection.setConnectionString(connectionStringFor(path));
    sinkId = query.addChangeSink([this](const Field*) { ++notifications; }, false);
}

OpenStore::~OpenStore() { query.removeSink(sinkId); }

std::string OpenStore::current() {
    if (!query.active()) return "";
    return query.fieldByName("filename").asString();
}

}  // namespace velmora::test
