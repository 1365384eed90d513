#pragma once
// The connection: one open collection at a time, a picture data file (an SQLite
// database) or a database on a PostgreSQL server. The path or the server address is
// taken from the connection string's "Data Source=" part; opening never creates a file.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace velmora {

class SqlDatabase;

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const std::string& connectionString() const { return connectionString_; }
    // Replaces the string (an unchanged string is ignored); closes an open file first.
    void setConnectionString(const std::string& text);
    // The file named by "Data Source=", backslashes taken as folder separators.
    std::string dataSourcePath() const;
    // Whether "Data Source=" names a server collection rather than a file.
    bool namesServer() const;
    // The password for a server collection, where libpq's own sources hold none.
    void setPassword(std::optional<std::string> password) { password_ = std::move(password); }

    bool isOpen() const { return database_ != nullptr; }
    // No effect when open. Raises Error with SQLite's text when the file is missing,
    // is not a database, or cannot be read, and with a plain message when a server
    // collection cannot be used.
    void open();
    // Takes over an open SQLite handle (an in-memory image of a file, for instance),
    // with the settings open() gives a file; closes an open file first. On failure the
    // handle is closed and Error raised.
    void adopt(sqlite3* db);
    // Takes over a database opened already for the connection string set (a server
    // collection its login opened), so it is not opened a second time; closes an open
    // one first.
    void adopt(std::unique_ptr<SqlDatabase> database);
    // No effect when closed. Datasets on the connection close first, silently.
    void close();

    // The open file's SQLite handle (null when closed), for what works on files only.
    sqlite3* handle() const { return db_; }
    // The open database; raises "Connection is closed" when closed.
    SqlDatabase& database() const;

    // Batches writes: while a transaction is open, posts and deletes are not
    // committed one by one. commit()/rollback() end it.
    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const;

    // Datasets register here so a close of the connection closes them.
    int addCloseListener(std::function<void()> listener);
    void removeCloseListener(int id);

private:
    std::string connectionString_;
    sqlite3* db_ = nullptr;
    std::optional<std::string> password_;
    std::unique_ptr<SqlDatabase> database_;
    std::vector<std::pair<int, std::function<void()>>> closeListeners_;
    int nextListenerId_ = 1;
};

// Takes the value of "Data Source=" from a connection string ("" when absent).
std::string dataSourceOf(const std::string& connectionString);

}  // namespace velmora
