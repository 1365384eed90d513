#include "store/server/server_connection.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <utility>

#include "base/error.h"
#include "store/database/server_address.h"
#include "store/server/kept_server_password.h"

namespace velmora {
namespace {

constexpr Oid kByteaOid = 17;

std::string firstLine(std::string text) {
    // libpq's texts end in a newline and may add an indented hint line.
    std::size_t end = text.find('\n');
    if (end != std::string::npos) text.erase(end);
    return text;
}

// libpq's reason without its "connection to server ... failed: " and "FATAL:  " prefixes.
std::string connectReason(const std::string& message) {
    std::string reason = firstLine(message);
    if (std::size_t failed = reason.find(" failed: "); failed != std::string::npos && reason.starts_with("connection to"))
        reason.erase(0, failed + 9);
    for (const char* prefix : {"FATAL:  ", "ERROR:  "}) {
        if (reason.starts_with(prefix)) reason.erase(0, std::string(prefix).size());
    }
    if (reason.find("Connection refused") != std::string::npos ||
        reason.find("No such file or directory") != std::string::npos) {
        return "no server answers there (" + reason + ")";
    }
    if (reason.find("could not translate host name") != std::string::npos) return "unknown server (" + reason + ")";
    if (reason.find("password authentication failed") != std::string::npos) return "wrong password (" + reason + ")";
    if (reason.find("no password supplied") != std::string::npos) return "the server asks for a password";
    return reason;
}

std::string resultField(pg_result* result, int field) {
    const char* text = result ? PQresultErrorField(result, field) : nullptr;
    return text ? text : "";
}

}  // namespace

bool isPasswordFailure(const std::string& message) {
    return message.find("wrong password") != std::string::npos ||
           message.find("the server asks for a password") != std::string::npos;
}

// ---- ServerResult ----

ServerResult::ServerResult(pg_result* result) : result_(result) {}
ServerResult::~ServerResult() { PQclear(result_); }
ServerResult::ServerResult(ServerResult&& other) noexcept : result_(std::exchange(other.result_, nullptr)) {}

int ServerResult::rows() const { return PQntuples(result_); }
int ServerResult::columns() const { return PQnfields(result_); }
std::string ServerResult::columnName(int column) const { return PQfname(result_, column); }
unsigned ServerResult::columnType(int column) const { return PQftype(result_, column); }
bool ServerResult::isNull(int row, int column) const { return PQgetisnull(result_, row, column) != 0; }

std::string ServerResult::text(int row, int column) const {
    return std::string(PQgetvalue(result_, row, column), static_cast<std::size_t>(PQgetlength(result_, row, column)));
}

std::int64_t ServerResult::integer(int row, int column) const {
    return std::strtoll(PQgetvalue(result_, row, column), nullptr, 10);
}

Bytes ServerResult::bytes(int row, int column) const {
    auto data = reinterpret_cast<const std::uint8_t*>(PQgetvalue(result_, row, column));
    return Bytes(data, data + PQgetlength(result_, row, column));
}

std::string ServerResult::command() const { return PQcmdStatus(result_); }

std::int64_t ServerResult::changedRows() const { return std::strtoll(PQcmdTuples(result_), nullptr, 10); }

// ---- ServerConnection ----

ServerConnection::ServerConnection(std::string address, std::optional<std::string> password)
    : address_(std::move(address)), shownAddress_(addressWithoutPassword(address_)), password_(std::move(password)) {
    connect();
}

ServerConnection::~ServerConnection() { PQfinish(conn_); }

void ServerConnection::connect() {
    try {
        connectOnce();
    } catch (const ServerPasswordError&) {
        // libpq's own sources had none that works: a password kept for the address, where
        // the program set a source of them (the command line's keyring).
        std::optional<std::string> kept = password_ ? std::nullopt : keptServerPassword(shownAddress_);
        if (!kept) throw;
        password_ = std::move(kept);
        connectOnce();
    }
}

void ServerConnection::connectOnce() {
    PQfinish(conn_);
    conn_ = nullptr;
    // The address is libpq's dbname: a URI or key=value pairs, expanded in full.
    std::vector<const char*> keys{"dbname", "application_name", "connect_timeout"};
    std::vector<const char*> values{address_.c_str(), "velmora", "10"};
    if (password_) {
        keys.push_back("password");
        values.push_back(password_->c_str());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    pg_conn* conn = PQconnectdbParams(keys.data(), values.data(), 1);
    if (!conn) throw Error("Cannot open the server collection " + shownAddress_ + ": out of memory");
    if (PQstatus(conn) != CONNECTION_OK) {
        std::string reason = connectReason(PQerrorMessage(conn));
        PQfinish(conn);
        std::string message = "Cannot open the server collection " + shownAddress_ + ": " + reason;
        if (isPasswordFailure(reason)) throw ServerPasswordError(message);
        throw Error(message);
    }
    conn_ = conn;
    for (const std::string& channel : channels_) {
        pg_result* listening = PQexec(conn_, ("LISTEN " + channel).c_str());
        if (!listening || PQresultStatus(listening) != PGRES_COMMAND_OK) fail(listening);
        PQclear(listening);
    }
    // News sent while the connection was down never reaches this one.
    if (connectedBefore_ && !channels_.empty()) missedNotifications_ = true;
    connectedBefore_ = true;
}

ServerResult ServerConnection::run(const std::string& sql, const std::vector<ServerValue>& parameters,
                                   bool binaryResult) {
    // A connection dropped earlier is made again, but never under a transaction that was
    // open on it: that one is gone, and what follows in it must fail too.
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
        if (transactionOpen_) throw Error(lostMessage());
        connect();
    }
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    std::vector<Oid> types;
    for (const ServerValue& value : parameters) {
        switch (value.kind) {
        case ServerValue::Kind::Null:
            values.push_back(nullptr);
            lengths.push_back(0);
            formats.push_back(0);
            types.push_back(0);
            break;
        case ServerValue::Kind::Text:
            values.push_back(value.text.c_str());
            lengths.push_back(0);
            formats.push_back(0);
            types.push_back(0);
            break;
        case ServerValue::Kind::Binary: {
            // An empty value still needs a pointer: libpq takes a null one for SQL null.
            static const char none = 0;
            const bool empty = !value.bytes || value.bytes->empty();
            values.push_back(empty ? &none : reinterpret_cast<const char*>(value.bytes->data()));
            lengths.push_back(empty ? 0 : static_cast<int>(value.bytes->size()));
            formats.push_back(1);
            types.push_back(kByteaOid);
            break;
        }
        }
    }
    // Without parameters, a text of several statements runs as one (the tests' schemas).
    pg_result* result = parameters.empty() && !binaryResult ? PQexec(conn_, sql.c_str()) : PQexecParams(conn_, sql.c_str(), static_cast<int>(parameters.size()), types.data(),
                                     values.data(), lengths.data(), formats.data(), binaryResult ? 1 : 0);
    ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) fail(result);
    return ServerResult(result);
}

void ServerConnection::fail(pg_result* result) {
    std::string state = resultField(result, PG_DIAG_SQLSTATE);
    std::string primary = resultField(result, PG_DIAG_MESSAGE_PRIMARY);
    PQclear(result);
    if (PQstatus(conn_) != CONNECTION_OK) {
        throw Error(lostMessage());
    }
    if (state == "42501") {
        throw Error("The server collection " + shownAddress_ + " may only be read by this role (" + primary + ")");
    }
    if (state == "57014") {
        throw Error("The server stopped a statement of the collection " + shownAddress_ +
                    " that ran past its time (" + primary + ")");
    }
    if (primary.empty()) primary = firstLine(PQerrorMessage(conn_));
    throw Error(primary);
}

std::string ServerConnection::lostMessage() const {
    return "The connection to the server collection " + shownAddress_ +
           " was lost; nothing of this command was kept, and the next command connects again";
}

ServerResult ServerConnection::describe(const std::string& sql) {
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
        if (transactionOpen_) throw Error(lostMessage());
        connect();
    }
    pg_result* prepared = PQprepare(conn_, "", sql.c_str(), 0, nullptr);
    if (!prepared || PQresultStatus(prepared) != PGRES_COMMAND_OK) fail(prepared);
    PQclear(prepared);
    pg_result* described = PQdescribePrepared(conn_, "");
    if (!described || PQresultStatus(described) != PGRES_COMMAND_OK) fail(described);
    return ServerResult(described);
}

void ServerConnection::begin() {
    run("BEGIN");
    transactionOpen_ = true;
}

void ServerConnection::commit() {
    struct Ended {
        bool& open;
        ~Ended() { open = false; }
    } ended{transactionOpen_};
    run("COMMIT");
}

void ServerConnection::rollback() noexcept {
    transactionOpen_ = false;
    if (conn_ && PQtransactionStatus(conn_) != PQTRANS_IDLE && PQstatus(conn_) == CONNECTION_OK) {
        PQclear(PQexec(conn_, "ROLLBACK"));
    }
}

bool ServerConnection::inTransaction() const { return transactionOpen_; }

void ServerConnection::listen(const std::string& channel) {
    run("LISTEN " + channel);
    channels_.push_back(channel);
}

int ServerConnection::socket() const {
    return conn_ && PQstatus(conn_) == CONNECTION_OK ? PQsocket(conn_) : -1;
}

bool ServerConnection::takeOthersNotifications() {
    bool others = std::exchange(missedNotifications_, false);
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) return others;
    // A connection found broken here is made again by the next statement.
    PQconsumeInput(conn_);
    const int own = PQbackendPID(conn_);
    while (PGnotify* notification = PQnotifies(conn_)) {
        if (notification->be_pid != own) others = true;
        PQfreemem(notification);
    }
    return others;
}

}  // namespace velmora
