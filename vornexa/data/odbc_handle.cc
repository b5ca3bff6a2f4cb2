#include "vornexa/data/odbc_handle.h"

#include <algorithm>

#include "vornexa/data/odbc_text.h"
#include "vornexa/base/error.h"

namespace vornexa::odbc {

namespace {

// SQLite's primary result code for a failed constraint.
constexpr int32_t kSqliteConstraint = 19;

// Narrow calls take text as unsigned bytes.
SQLCHAR* Bytes(std::string& text) { return reinterpret_cast<SQLCHAR*>(text.data()); }

// One diagnostic record in units of `Unit` (SQLWCHAR or SQLCHAR); false when
// there is no record `number`.
template <typename Unit, typename Call>
bool ReadRecord(Call call, Diagnostic* out) {
  Unit state[6] = {};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  std::vector<Unit> message(1024);
  SQLRETURN rc = call(state, &native, message.data(), static_cast<SQLSMALLINT>(message.size()),
                      &length);
  if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
    message.resize(static_cast<size_t>(length) + 1);
    rc = call(state, &native, message.data(), static_cast<SQLSMALLINT>(message.size()), &length);
  }
  if (!SQL_SUCCEEDED(rc)) return false;
  const size_t units = std::min(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)),
                                message.size() - 1);
  if constexpr (sizeof(Unit) == sizeof(SQLWCHAR)) {
    out->state = FromWide(state, 5);
    out->message = FromWide(message.data(), units);
  } else {
    out->state.assign(reinterpret_cast<const char*>(state), 5);
    out->message.assign(reinterpret_cast<const char*>(message.data()), units);
  }
  out->native = static_cast<int32_t>(native);
  return true;
}

}  // namespace

Handle::Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
  if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &handle_))) {
    handle_ = SQL_NULL_HANDLE;
    throw Error(error_number::kConnectionUnusable, std::string(kDataSource),
                "El administrador de controladores ODBC no pudo asignar un identificador");
  }
}

Handle::~Handle() {
  if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, handle_);
}

SQLRETURN DriverConnect(const Handle& connection, std::string_view connection_string,
                        Encoding encoding) {
  if (encoding == Encoding::kUtf16) {
    WideText text = ToWide(connection_string);
    return SQLDriverConnectW(connection.get(), nullptr, text.data(), SQL_NTS, nullptr, 0, nullptr,
                             SQL_DRIVER_NOPROMPT);
  }
  std::string text(connection_string);
  return SQLDriverConnect(connection.get(), nullptr, Bytes(text), SQL_NTS, nullptr, 0, nullptr,
                          SQL_DRIVER_NOPROMPT);
}

namespace {

// Passes `sql` to `wide` or `narrow` (SQLExecDirect or SQLPrepare and their
// wide forms, which take the same arguments).
template <typename WideCall, typename NarrowCall>
SQLRETURN WithStatementText(const Handle& statement, std::string_view sql, Encoding encoding,
                            WideCall wide, NarrowCall narrow) {
  if (encoding == Encoding::kUtf16) {
    WideText text = ToWide(sql);
    return wide(statement.get(), text.data(), SQL_NTS);
  }
  std::string text(sql);
  return narrow(statement.get(), Bytes(text), static_cast<SQLINTEGER>(text.size()));
}

}  // namespace

SQLRETURN ExecDirect(const Handle& statement, std::string_view sql, Encoding encoding) {
  return WithStatementText(statement, sql, encoding, SQLExecDirectW, SQLExecDirect);
}

SQLRETURN Prepare(const Handle& statement, std::string_view sql, Encoding encoding) {
  return WithStatementText(statement, sql, encoding, SQLPrepareW, SQLPrepare);
}

std::vector<Diagnostic> ReadDiagnostics(const Handle& handle, Encoding encoding) {
  std::vector<Diagnostic> records;
  for (SQLSMALLINT number = 1;; ++number) {
    Diagnostic record;
    const bool found =
        encoding == Encoding::kUtf16
            ? ReadRecord<SQLWCHAR>(
                  [&](SQLWCHAR* state, SQLINTEGER* native, SQLWCHAR* text, SQLSMALLINT size,
                      SQLSMALLINT* length) {
                    return SQLGetDiagRecW(handle.type(), handle.get(), number, state, native, text,
                                          size, length);
                  },
                  &record)
            : ReadRecord<SQLCHAR>(
                  [&](SQLCHAR* state, SQLINTEGER* native, SQLCHAR* text, SQLSMALLINT size,
                      SQLSMALLINT* length) {
                    return SQLGetDiagRec(handle.type(), handle.get(), number, state, native, text,
                                         size, length);
                  },
                  &record);
    if (!found) break;
    records.push_back(std::move(record));
  }
  return records;
}

int32_t ErrorNumber(const Diagnostic& first, Dialect dialect) {
  const std::string_view state_class = std::string_view(first.state).substr(0, 2);
  if (state_class == "23") return error_number::kConstraintViolation;
  if (dialect == Dialect::Sqlite && (first.native & 0xFF) == kSqliteConstraint) {
    return error_number::kConstraintViolation;
  }
  // PostgreSQL ends a session it shuts down or loses with 57P01 to 57P03.
  if (state_class == "08" || (dialect == Dialect::PostgreSql && first.state.rfind("57P0", 0) == 0)) {
    return error_number::kConnectionUnusable;
  }
  return error_number::kStatementRejected;
}

void Raise(const std::vector<Diagnostic>& records, Dialect dialect, int32_t number) {
  if (records.empty()) {
    throw Error(number ? number : error_number::kStatementRejected, std::string(kDataSource),
                "El controlador ODBC informó de un error sin diagnóstico");
  }
  const Diagnostic& first = records.front();
  throw Error(number ? number : ErrorNumber(first, dialect), std::string(kDataSource),
              first.message, first.state, first.native);
}

}  // namespace vornexa::odbc
