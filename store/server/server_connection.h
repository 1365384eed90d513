#pragma once
// One connection to a PostgreSQL server through libpq, with the failures a user can
// meet said plainly: a server that is down or unknown, a wrong password, a missing
// database or table, a role that may only read, a connection lost in the middle of a
// command, a statement that ran past its time. A password never appears in them.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/error.h"

struct pg_conn;
struct pg_result;

namespace velmora {

// One parameter of a statement: null, text, or bytes sent as binary.
struct ServerValue {
    enum class Kind { Null, Text, Binary };
    Kind kind = Kind::Null;
    std::string text;
    SharedBytes bytes;
    static ServerValue null() { return {}; }
    static ServerValue ofText(std::string text) { return {Kind::Text, std::move(text), nullptr}; }
    static ServerValue ofBytes(SharedBytes bytes) { return {Kind::Binary, {}, std::move(bytes)}; }
};

// A statement's result; rows and columns by index, text format unless the statement
// asked for binary results.
class ServerResult {
public:
    explicit ServerResult(pg_result* result);
    ~ServerResult();
    ServerResult(ServerResult&& other) noexcept;
    ServerResult(const ServerResult&) = delete;
    ServerResult& operator=(const ServerResult&) = delete;
    ServerResult& operator=(ServerResult&&) = delete;

    int rows() const;
    int columns() const;
    std::string columnName(int column) const;
    // The column's type, as the server numbers it (its oid).
    unsigned columnType(int column) const;
    bool isNull(int row, int column) const;
    std::string text(int row, int column) const;
    std::int64_t integer(int row, int column) const;
    // The value's bytes as sent (binary results: the stored bytes themselves).
    Bytes bytes(int row, int column) const;
    // The command the server ran ("INSERT 0 1", "SELECT 3", ...).
    std::string command() const;
    // The number of rows a write changed.
    std::int64_t changedRows() const;

private:
    pg_result* result_;
};

class ServerConnection {
public:
    // Connects; a password comes from libpq's own sources (the address, PGPASSWORD,
    // ~/.pgpass or PGPASSFILE, the service file) or from `password` when given.
    // Raises ServerPasswordError when the password is missing or wrong, Error with a
    // plain message when the server cannot be used otherwise.
    explicit ServerConnection(std::string address, std::optional<std::string> password = std::nullopt);
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    // The address without any password, as messages name it.
    const std::string& shownAddress() const { return shownAddress_; }
    pg_conn* handle() const { return conn_; }

    // Runs one statement with its parameters ($1, $2, ...); binaryResult asks for the
    // values as stored. A connection lost before it is made again first; one lost in
    // the middle raises, and the next statement connects again. Raises Error otherwise.
    ServerResult run(const std::string& sql, const std::vector<ServerValue>& parameters = {},
                     bool binaryResult = false);

    // The result columns a statement would give, without running it.
    ServerResult describe(const std::string& sql);

    void begin();
    void commit();
    // Ends an open transaction without keeping it; never raises.
    void rollback() noexcept;
    bool inTransaction() const;

    // Has the server tell this connection of each NOTIFY on channel, from now on and
    // again after every reconnect. Raises Error as run() does.
    void listen(const std::string& channel);
    // The connection's socket, where the server's news arrives; -1 while not connected.
    int socket() const;
    // Reads what has arrived, without waiting. True when another connection notified a
    // channel listened to, or when the connection was made again since the last call
    // (what was said in between is lost); this connection's own notifications do not count.
    bool takeOthersNotifications();

private:
    void connect();
    void connectOnce();
    [[noreturn]] void fail(pg_result* result);
    std::string lostMessage() const;

    std::string address_;
    std::string shownAddress_;
    std::optional<std::string> password_;
    pg_conn* conn_ = nullptr;
    bool transactionOpen_ = false;
    std::vector<std::string> channels_;
    bool connectedBefore_ = false;
    bool missedNotifications_ = false;
};

// A connection the server refused for a password that was missing or wrong, so that
// the window may ask for one; the message is the same plain one as other failures.
class ServerPasswordError : public Error {
public:
    using Error::Error;
};

// True when the message is one the server gave for a password that was missing or
// wrong, so the window may ask for one.
bool isPasswordFailure(const std::string& message);

}  // namespace velmora
