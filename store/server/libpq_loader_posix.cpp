// libpq's functions, loaded on first use: a program that never opens a server collection
// never loads PostgreSQL's client library (nor Kerberos, LDAP and TLS, which it brings),
// which keeps start time and memory down. Each function here has libpq's own name and
// declaration, so its callers are written against libpq-fe.h as usual and the compiler
// checks every call; the first call loads the library (raising Error when it cannot)
// and each function looks itself up once.
#include <libpq-fe.h>

#include "base/shared_library.h"

namespace velmora::libpq {

namespace {

const SharedLibrary& library() {
    static const SharedLibrary library("libpq.so.5", "A server collection", "libpq5");
    return library;
}

}  // namespace

template <typename Function>
Function* function(const char* name) {
    return library().function<Function>(name);
}

}  // namespace velmora::libpq

// Defines libpq's function name with its declared parameters, passing them on.
#define VELMORA_LIBPQ_FORWARD(result, name, parameters, arguments)                              \
    result name parameters {                                                                    \
        static auto* const loaded = velmora::libpq::function<decltype(name)>(#name);             \
        return loaded arguments;                                                                \
    }
// The same for a function that frees what libpq made: null needs no library.
#define VELMORA_LIBPQ_RELEASE(name, type)                                                       \
    void name(type* made) {                                                                     \
        if (!made) return;                                                                      \
        static auto* const loaded = velmora::libpq::function<decltype(name)>(#name);             \
        loaded(made);                                                                           \
    }

// Connecting and the connection's state.
VELMORA_LIBPQ_FORWARD(PGconn*, PQconnectdb, (const char* conninfo), (conninfo))
VELMORA_LIBPQ_FORWARD(PGconn*, PQconnectdbParams, (const char* const* keywords, const char* const* values, int expand),
                      (keywords, values, expand))
VELMORA_LIBPQ_FORWARD(PQconninfoOption*, PQconninfoParse, (const char* conninfo, char** errmsg), (conninfo, errmsg))
VELMORA_LIBPQ_FORWARD(PGPing, PQping, (const char* conninfo), (conninfo))
VELMORA_LIBPQ_FORWARD(int, PQlibVersion, (), ())
VELMORA_LIBPQ_FORWARD(void, PQreset, (PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(ConnStatusType, PQstatus, (const PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(PGTransactionStatusType, PQtransactionStatus, (const PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(const char*, PQparameterStatus, (const PGconn* conn, const char* paramName), (conn, paramName))
VELMORA_LIBPQ_FORWARD(int, PQserverVersion, (const PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(char*, PQerrorMessage, (const PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(int, PQsocket, (const PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(int, PQbackendPID, (const PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(int, PQconnectionNeedsPassword, (const PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(int, PQconnectionUsedPassword, (const PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(int, PQsslInUse, (PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(PQnoticeProcessor, PQsetNoticeProcessor, (PGconn* conn, PQnoticeProcessor proc, void* arg),
                      (conn, proc, arg))
VELMORA_LIBPQ_FORWARD(PQnoticeReceiver, PQsetNoticeReceiver, (PGconn* conn, PQnoticeReceiver proc, void* arg),
                      (conn, proc, arg))
VELMORA_LIBPQ_FORWARD(PGcancel*, PQgetCancel, (PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(int, PQcancel, (PGcancel* cancel, char* errbuf, int errbufsize), (cancel, errbuf, errbufsize))
VELMORA_LIBPQ_RELEASE(PQfinish, PGconn)
VELMORA_LIBPQ_RELEASE(PQfreeCancel, PGcancel)
VELMORA_LIBPQ_RELEASE(PQconninfoFree, PQconninfoOption)

// Statements, one at a time or sent without waiting.
VELMORA_LIBPQ_FORWARD(PGresult*, PQexec, (PGconn* conn, const char* query), (conn, query))
VELMORA_LIBPQ_FORWARD(PGresult*, PQexecParams,
                      (PGconn* conn, const char* command, int nParams, const Oid* paramTypes,
                       const char* const* paramValues, const int* paramLengths, const int* paramFormats, int resultFormat),
                      (conn, command, nParams, paramTypes, paramValues, paramLengths, paramFormats, resultFormat))
VELMORA_LIBPQ_FORWARD(PGresult*, PQprepare,
                      (PGconn* conn, const char* stmtName, const char* query, int nParams, const Oid* paramTypes),
                      (conn, stmtName, query, nParams, paramTypes))
VELMORA_LIBPQ_FORWARD(PGresult*, PQexecPrepared,
                      (PGconn* conn, const char* stmtName, int nParams, const char* const* paramValues,
                       const int* paramLengths, const int* paramFormats, int resultFormat),
                      (conn, stmtName, nParams, paramValues, paramLengths, paramFormats, resultFormat))
VELMORA_LIBPQ_FORWARD(PGresult*, PQdescribePrepared, (PGconn* conn, const char* stmt), (conn, stmt))
VELMORA_LIBPQ_FORWARD(int, PQsendQuery, (PGconn* conn, const char* query), (conn, query))
VELMORA_LIBPQ_FORWARD(int, PQsendQueryParams,
                      (PGconn* conn, const char* command, int nParams, const Oid* paramTypes,
                       const char* const* paramValues, const int* paramLengths, const int* paramFormats, int resultFormat),
                      (conn, command, nParams, paramTypes, paramValues, paramLengths, paramFormats, resultFormat))
VELMORA_LIBPQ_FORWARD(PGresult*, PQgetResult, (PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(int, PQisBusy, (PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(int, PQconsumeInput, (PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(int, PQsetnonblocking, (PGconn* conn, int arg), (conn, arg))
VELMORA_LIBPQ_FORWARD(int, PQflush, (PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(PGnotify*, PQnotifies, (PGconn* conn), (conn))
VELMORA_LIBPQ_FORWARD(int, PQputCopyData, (PGconn* conn, const char* buffer, int nbytes), (conn, buffer, nbytes))
VELMORA_LIBPQ_FORWARD(int, PQputCopyEnd, (PGconn* conn, const char* errormsg), (conn, errormsg))
VELMORA_LIBPQ_FORWARD(int, PQgetCopyData, (PGconn* conn, char** buffer, int async), (conn, buffer, async))
VELMORA_LIBPQ_FORWARD(char*, PQescapeLiteral, (PGconn* conn, const char* str, size_t len), (conn, str, len))
VELMORA_LIBPQ_FORWARD(char*, PQescapeIdentifier, (PGconn* conn, const char* str, size_t len), (conn, str, len))
VELMORA_LIBPQ_RELEASE(PQfreemem, void)

// Results.
VELMORA_LIBPQ_FORWARD(ExecStatusType, PQresultStatus, (const PGresult* res), (res))
VELMORA_LIBPQ_FORWARD(char*, PQresStatus, (ExecStatusType status), (status))
VELMORA_LIBPQ_FORWARD(char*, PQresultErrorMessage, (const PGresult* res), (res))
VELMORA_LIBPQ_FORWARD(char*, PQresultErrorField, (const PGresult* res, int fieldcode), (res, fieldcode))
VELMORA_LIBPQ_FORWARD(int, PQntuples, (const PGresult* res), (res))
VELMORA_LIBPQ_FORWARD(int, PQnfields, (const PGresult* res), (res))
VELMORA_LIBPQ_FORWARD(char*, PQfname, (const PGresult* res, int field_num), (res, field_num))
VELMORA_LIBPQ_FORWARD(int, PQfnumber, (const PGresult* res, const char* field_name), (res, field_name))
VELMORA_LIBPQ_FORWARD(int, PQfformat, (const PGresult* res, int field_num), (res, field_num))
VELMORA_LIBPQ_FORWARD(Oid, PQftype, (const PGresult* res, int field_num), (res, field_num))
VELMORA_LIBPQ_FORWARD(char*, PQcmdStatus, (PGresult* res), (res))
VELMORA_LIBPQ_FORWARD(char*, PQcmdTuples, (PGresult* res), (res))
VELMORA_LIBPQ_FORWARD(Oid, PQoidValue, (const PGresult* res), (res))
VELMORA_LIBPQ_FORWARD(char*, PQgetvalue, (const PGresult* res, int tup_num, int field_num), (res, tup_num, field_num))
VELMORA_LIBPQ_FORWARD(int, PQgetlength, (const PGresult* res, int tup_num, int field_num), (res, tup_num, field_num))
VELMORA_LIBPQ_FORWARD(int, PQgetisnull, (const PGresult* res, int tup_num, int field_num), (res, tup_num, field_num))
VELMORA_LIBPQ_FORWARD(int, PQnparams, (const PGresult* res), (res))
VELMORA_LIBPQ_FORWARD(Oid, PQparamtype, (const PGresult* res, int param_num), (res, param_num))
VELMORA_LIBPQ_RELEASE(PQclear, PGresult)
