// Arbitrary bytes as a whole picture data file (an SQLite database image): opened,
// walked with every picture's header read, filtered, one record deleted and one
// posted, as the program does with a file someone sent; then the tables the program
// keeps beside `pictures`: the trash (delete into it, restore, delete forever, empty),
// the digests (a look for stored bytes) and the rotation's memory (keys, marks, a
// round, a step back); and the file's schema read as the catalog rows a server would
// give for such a table, through the server collection's table check. Errors are fine; crashes, leaks, hangs and undefined behaviour
// are not.
//
// Run with tools/fuzz.sh database SECONDS; its kept inputs (fuzz/corpus/database,
// started from real collection files) are replayed by tests/database.

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "store/database/connection.h"
#include "store/database/picture_digests.h"
#include "store/database/picture_query.h"
#include "store/database/picture_trash.h"
#include "store/database/untrusted_file.h"
#include "store/picture/jpeg_picture.h"
#include "store/server/server_table_check.h"
#include "wallpaper/rotation_rows.h"

namespace {

// Long walks only cost time; a few dozen rows reach every kind of page.
constexpr int kMaxRowsWalked = 48;
constexpr sqlite3_int64 kMaxImageBytes = 32 << 20;
// SQLite allocates a value's declared length before it reads it, and an overflow chain
// that loops back on itself fills all of it; under the sanitizers a few hundred MB take
// seconds. Smaller limits on values and on SQLite's heap keep each run fast (a refused
// allocation is SQLite's "out of memory" error); the checks themselves are the same code.
constexpr int kFuzzMaxValueBytes = 4 << 20;
constexpr sqlite3_int64 kFuzzHeapLimit = 96 << 20;

template <typename Step>
void tolerate(Step step) {
    try {
        step();
    } catch (const velmora::Error&) {
    }
}

void readCurrent(velmora::PictureQuery& query) {
    tolerate([&] { query.fieldByName("filename").asString(); });
    tolerate([&] {
        velmora::Field picture = query.fieldByName("picture");
        if (picture.isNull()) return;
        velmora::JpegPicture jpeg;
        jpeg.readStored(picture.asBytes());
    });
}

void walk(velmora::PictureQuery& query) {
    for (int row = 0; row < kMaxRowsWalked && query.active() && !query.atEnd(); ++row) {
        readCurrent(query);
        tolerate([&] { query.displayName(row); });
        tolerate([&] { query.next(); });
    }
    tolerate([&] { query.first(); });
}

void exercise(velmora::Connection& connection) {
    velmora::PictureQuery query(connection);
    tolerate([&] { query.activate(); });
    if (!query.active()) return;
    walk(query);

    query.setSql("select * from pictures where filename like '%' || ?1 || '%'\r\n", {"a"});
    tolerate([&] { query.activate(); });
    walk(query);
    tolerate([&] {
        query.next();
        if (query.recordCount() > 1) query.remove();
    });
    readCurrent(query);
    tolerate([&] {
        query.append();
        query.fieldByName("filename").setAsString("fuzz");
        query.fieldByName("picture").writeBytes(velmora::shareBytes(velmora::Bytes(300, 0x5a)));
        query.post();
    });
    tolerate([&] {
        query.edit();
        query.fieldByName("filename").setAsString("renamed");
        query.post();
    });

    query.setSql("select * from pictures\r\n");
    tolerate([&] { query.activate(); });
    walk(query);
}

void exerciseTrash(velmora::Connection& connection, velmora::PictureQuery& query) {
    velmora::PictureTrash trash(connection);
    tolerate([&] { query.moveToTrash(); });
    tolerate([&] {
        trash.heldBytes();
        const auto entries = trash.list();
        if (!entries.empty()) query.restoreFromTrash(entries.back().id);
    });
    tolerate([&] {
        query.first();
        const std::optional<velmora::TrashEntry> entry = query.moveToTrash();
        if (entry && trash.holds(*entry)) query.restoreFromTrash(entry->id, *entry);
    });
    tolerate([&] {
        query.moveToTrash();
        const auto entries = trash.list();
        if (!entries.empty()) trash.deleteForever(entries.front().id);
    });
}

void exerciseDigests(velmora::Connection& connection, velmora::PictureQuery& query) {
    tolerate([&] {
        velmora::PictureLengths lengths;
        const velmora::Bytes posted(300, 0x5a);
        velmora::findStoredDuplicate(connection, posted, &lengths);
        query.first();
        velmora::Field picture = query.fieldByName("picture");
        if (!picture.isNull()) velmora::findStoredDuplicate(connection, *picture.asBytes(), &lengths);
        velmora::rememberDigest(connection, query.rowidAt(0).value_or(0), posted);
    });
}

void exerciseRotation(velmora::Connection& connection, velmora::PictureQuery& query) {
    velmora::RotationRows rows(query, connection.database());
    tolerate([&] {
        for (std::size_t row = 0; row < rows.count() && row < kMaxRowsWalked; ++row) {
            if (rows.eligible(row)) rows.repeatsEarlierRow(row);
        }
    });
    tolerate([&] {
        if (rows.count() > 0) rows.setLeftOut(rows.count() - 1, true);
    });
    tolerate([&] {
        velmora::RotationState& state = rows.state();
        if (rows.count() == 0 || !state.inUse()) return;
        const std::string key = rows.confirmedKey(0);
        state.begin();
        try {
            state.recordShown(key, state.round() + 1);
            state.markShown(key, state.round());
            state.latestShown(3);
            state.undoLatestShown();
            state.commit();
        } catch (...) {
            state.rollback();
            throw;
        }
    });
}

void exerciseOwnTables(velmora::Connection& connection) {
    velmora::PictureQuery query(connection);
    tolerate([&] { query.activate(); });
    if (!query.active()) return;
    exerciseTrash(connection, query);
    exerciseDigests(connection, query);
    exerciseRotation(connection, query);
    tolerate([&] { velmora::PictureTrash(connection).empty(); });
}

std::string textColumn(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))) : std::string();
}

// The server's table check over the rows pg_class, pg_trigger and pg_attribute would
// hold for the file's `pictures`: its kind, triggers, and each column with its declared
// type as the server's type name, NOT NULL, generated, and a key of its own.
void exerciseServerCheck(velmora::Connection& connection) {
    sqlite3* db = connection.handle();
    std::optional<velmora::ServerTableRow> table;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT type, (SELECT count(*) FROM sqlite_schema t WHERE t.type = 'trigger' AND"
                           " t.tbl_name = s.name) FROM sqlite_schema s WHERE s.name = 'pictures' COLLATE NOCASE"
                           " AND s.type IN ('table', 'view')",
                           -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        table = velmora::ServerTableRow{textColumn(statement, 0) == "table" ? "r" : "v",
                                        sqlite3_column_int64(statement, 1), 0};
    }
    sqlite3_finalize(statement);
    std::vector<velmora::ServerColumnRow> columns;
    // A key of its own: the only column of the primary key.
    if (sqlite3_prepare_v2(db,
                           "SELECT name, lower(type), \"notnull\", pk = 1 AND (SELECT max(pk) FROM"
                           " pragma_table_xinfo('pictures')) = 1, hidden FROM pragma_table_xinfo('pictures')",
                           -1, &statement, nullptr) == SQLITE_OK) {
        while (columns.size() < 64 && sqlite3_step(statement) == SQLITE_ROW) {
            const bool generated = sqlite3_column_int(statement, 4) >= 2;
            columns.push_back({textColumn(statement, 0), textColumn(statement, 1), "", generated ? "s" : "",
                               sqlite3_column_int(statement, 2) != 0, sqlite3_column_int(statement, 3) == 1});
        }
    }
    sqlite3_finalize(statement);
    tolerate([&] { velmora::checkServerTable("service=fuzz", table, columns); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velmora::ScopedSqliteHeapLimit heapLimit(kFuzzHeapLimit);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return 0;
    }
    auto* image = static_cast<unsigned char*>(sqlite3_malloc64(size ? size : 1));
    if (size) std::memcpy(image, data, size);
    // SQLite owns the image from here, also when deserializing fails.
    if (sqlite3_deserialize(db, "main", image, static_cast<sqlite3_int64>(size), static_cast<sqlite3_int64>(size),
                            SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE) != SQLITE_OK) {
        sqlite3_close(db);
        return 0;
    }
    sqlite3_int64 limit = kMaxImageBytes;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_SIZE_LIMIT, &limit);
    velmora::Connection connection;
    try {
        connection.adopt(db);
    } catch (const velmora::Error&) {
        return 0;  // adopt closed the handle
    }
    sqlite3_limit(connection.handle(), SQLITE_LIMIT_LENGTH, kFuzzMaxValueBytes);
    exercise(connection);
    exerciseOwnTables(connection);
    exerciseServerCheck(connection);
    return 0;
}
