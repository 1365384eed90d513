// The collection file behind CollectionStore, and new collection files made by a copy.
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "base/error.h"
#include "base/system_error.h"
#include "store/database/collection_copy_file.h"
#include "store/database/collection_store.h"
#include "store/database/connection.h"
#include "store/database/own_tables.h"
#include "store/database/picture_digests.h"
#include "store/database/sql_statement.h"
#include "store/database/sql_text.h"
#include "store/database/untrusted_file.h"

namespace velmora {
namespace {

std::string upperAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// SQLite's rules for a declared type's affinity; NUMERIC is carried as text, which
// keeps every digit.
ColumnKind kindOfDeclaredType(const std::string& declared) {
    const std::string type = upperAscii(declared);
    if (type.find("INT") != std::string::npos) return ColumnKind::Integer;
    if (type.find("CHAR") != std::string::npos || type.find("CLOB") != std::string::npos ||
        type.find("TEXT") != std::string::npos) {
        return ColumnKind::Text;
    }
    if (type.empty() || type.find("BLOB") != std::string::npos) return ColumnKind::Bytes;
    if (type.find("REAL") != std::string::npos || type.find("FLOA") != std::string::npos ||
        type.find("DOUB") != std::string::npos) {
        return ColumnKind::Real;
    }
    return ColumnKind::Text;
}

const char* declaredTypeOf(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Integer: return "INTEGER";
    case ColumnKind::Real: return "REAL";
    case ColumnKind::Text: return "TEXT";
    case ColumnKind::Bytes: return "BLOB";
    }
    return "";
}

class FileCollectionStore : public CollectionStore {
public:
    explicit FileCollectionStore(const std::string& path) : path_(path) {
        connection_.setConnectionString("Data Source=" + path);
        connection_.open();
        requirePlainPictureTable(connection_.handle());
    }

    std::string title() const override { return path_; }

    std::vector<StoredName> names() override {
        std::vector<StoredName> names;
        SqlStatement statement(connection_.handle(), "SELECT rowid, filename FROM pictures");
        while (statement.step()) {
            StoredName entry{statement.integer(0), std::nullopt};
            if (!statement.isNull(1)) entry.name = statement.text(1);
            names.push_back(std::move(entry));
        }
        return names;
    }

    SharedBytes picture(std::int64_t key) override {
        SqlStatement statement(connection_.handle(), "SELECT picture FROM pictures WHERE rowid=?1");
        statement.bind(1, key);
        return statement.step() ? shareBytes(statement.blob(0)) : nullptr;
    }

    std::optional<std::string> storedCopyOf(const SharedBytes& bytes) override {
        std::optional<StoredDuplicate> stored = findStoredDuplicate(connection_, *bytes, &lengths_);
        if (!stored) return std::nullopt;
        return stored->name;
    }

    void add(const std::string& name, const SharedBytes& bytes) override {
        SqlStatement insert(connection_.handle(), "INSERT INTO pictures (filename, picture) VALUES (?1, ?2) RETURNING rowid");
        insert.bind(1, name).bindBlob(2, bytes->data(), bytes->size());
        if (!insert.step()) throw Error(sqlite3_errmsg(connection_.handle()));
        const std::int64_t rowid = insert.integer(0);
        insert.run();
        // The digest spares the next look reading the picture back; failing to keep it
        // only costs that.
        try {
            rememberDigest(connection_, rowid, *bytes);
            lengths_.remember(connection_.database(), rowid, static_cast<std::int64_t>(bytes->size()));
        } catch (const std::exception&) {
            lengths_.forget();
        }
    }

    std::vector<StoredColumn> columns() override {
        std::vector<StoredColumn> columns;
        SqlStatement info(connection_.handle(), "SELECT name, type FROM pragma_table_info('pictures')");
        while (info.step()) columns.push_back({info.text(0), kindOfDeclaredType(info.text(1))});
        if (columns.empty()) throw Error("no such table: pictures");
        return columns;
    }

    void walk(const TakePictureRow& takePicture, const TakeKeptRow& takeKept) override {
        const std::size_t count = columns().size();
        // One read transaction: a writer elsewhere waits until the last row is read.
        execSql(connection_.handle(), "BEGIN");
        struct EndRead {
            sqlite3* db;
            ~EndRead() { sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr); }
        } endRead{connection_.handle()};
        SqlStatement rows(connection_.handle(), "SELECT rowid, * FROM pictures");
        std::vector<FieldValue> values(count);
        while (rows.step()) {
            for (std::size_t i = 0; i < count; ++i) values[i] = rows.value(static_cast<int>(i + 1));
            takePicture(rows.integer(0), values);
        }
        if (takeKept) eachKeptRow(connection_.database(), takeKept);
    }

private:
    std::string path_;
    Connection connection_;
    PictureLengths lengths_;
};

class NewCollectionFile : public NewCollection {
public:
    NewCollectionFile(const std::string& path, const std::vector<StoredColumn>& columns)
        : path_(path), temporary_((checkAbsent(path), path)) {
        if (temporary_.error() != 0) throw Error(cannotCreateFileMessage(fullPathOf(path), temporary_.error()));
        if (int rc = sqlite3_open_v2(temporary_.path().c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr); rc != SQLITE_OK) {
            throw Error(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
        }
        std::string declared;
        std::string places;
        for (const StoredColumn& column : columns) {
            if (!declared.empty()) declared += ", ";
            declared += quoteIdentifier(column.name);
            declared += ' ';
            declared += declaredTypeOf(column.kind);
            places += places.empty() ? "?" : ", ?";
        }
        execSql(db_, "PRAGMA journal_mode=MEMORY; BEGIN; CREATE TABLE pictures (" + declared + ")");
        insert_.emplace(db_, "INSERT INTO pictures VALUES (" + places + ")");
    }

    ~NewCollectionFile() override {
        insert_.reset();
        keptInserts_.clear();
        sqlite3_close(db_);
    }

    std::int64_t insert(const std::vector<FieldValue>& values) override {
        insert_->reset();
        for (std::size_t i = 0; i < values.size(); ++i) insert_->bind(static_cast<int>(i + 1), values[i]);
        insert_->run();
        return sqlite3_last_insert_rowid(db_);
    }

    void insertKept(const OwnTable& table, const std::vector<FieldValue>& values) override {
        auto made = keptInserts_.find(table.contract.table);
        if (made == keptInserts_.end()) {
            execSql(db_, table.create);
            made = keptInserts_.try_emplace(table.contract.table, db_, keptRowInsert(table, '?')).first;
        }
        SqlStatement& insert = made->second;
        insert.reset();
        for (std::size_t i = 0; i < values.size(); ++i) insert.bind(static_cast<int>(i + 1), values[i]);
        insert.run();
    }

    void finish() override {
        insert_.reset();
        keptInserts_.clear();
        execSql(db_, "COMMIT");
        if (sqlite3_close(db_) != SQLITE_OK) throw Error(sqlite3_errmsg(db_));
        db_ = nullptr;
        if (unsigned error = temporary_.giveName(path_)) throw Error(cannotCreateFileMessage(fullPathOf(path_), error));
    }

private:
    static void checkAbsent(const std::string& path) {
        if (fileExists(path)) throw Error(cannotCreateFileMessage(fullPathOf(path), kErrorFileExists));
        removeLeftoverCopies(path);
    }

    std::string path_;
    TemporaryCopy temporary_;
    sqlite3* db_ = nullptr;
    std::optional<SqlStatement> insert_;
    std::map<std::string, SqlStatement> keptInserts_;
};

}  // namespace

std::unique_ptr<CollectionStore> openCollectionFile(const std::string& path) {
    return std::make_unique<FileCollectionStore>(path);
}

std::unique_ptr<NewCollection> startCollectionFile(const std::string& path, const std::vector<StoredColumn>& columns) {
    return std::make_unique<NewCollectionFile>(path, columns);
}

}  // namespace velmora
