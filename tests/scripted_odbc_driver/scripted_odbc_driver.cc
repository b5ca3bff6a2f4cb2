// A minimal ODBC driver for tests, loaded by the driver manager from its path
// ("Driver=/path/libscripted_odbc_driver.so;"). It answers what real drivers
// on this machine never do: every statement reports an unknown affected-row
// count (-1), as SQL Server does with NOCOUNT on, and a statement starting
// with "FAIL" fails with two diagnostic records whose first message ends in a
// line break. Narrow calls only; the library uses them for Dialect::Sqlite.
#include <sql.h>
#include <sqlext.h>

#include <cstring>

namespace {

struct Handle {
  SQLSMALLINT type;
  bool failed = false;
};

SQLRETURN Copy(const char* text, SQLCHAR* out, SQLSMALLINT capacity, SQLSMALLINT* length) {
  const auto size = static_cast<SQLSMALLINT>(std::strlen(text));
  if (length) *length = size;
  if (out && capacity > 0) {
    const SQLSMALLINT n = size < capacity ? size : static_cast<SQLSMALLINT>(capacity - 1);
    std::memcpy(out, text, static_cast<size_t>(n));
    out[n] = 0;
    if (n < size) return SQL_SUCCESS_WITH_INFO;
  }
  return SQL_SUCCESS;
}

}  // namespace

extern "C" {

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE, SQLHANDLE* out) {
  *out = new Handle{type};
  return SQL_SUCCESS;
}
SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT, SQLHANDLE handle) {
  delete static_cast<Handle*>(handle);
  return SQL_SUCCESS;
}
// Settings are taken and ignored (0 is SQL_SUCCESS).
SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV, SQLINTEGER, SQLPOINTER, SQLINTEGER) { return 0; }
SQLRETURN SQL_API SQLSetConnectAttr(SQLHDBC, SQLINTEGER, SQLPOINTER, SQLINTEGER) { return 0; }
SQLRETURN SQL_API SQLSetStmtAttr(SQLHSTMT, SQLINTEGER, SQLPOINTER, SQLINTEGER) { return 0; }
SQLRETURN SQL_API SQLDriverConnect(SQLHDBC, SQLHWND, SQLCHAR*, SQLSMALLINT, SQLCHAR* out,
                                   SQLSMALLINT capacity, SQLSMALLINT* length, SQLUSMALLINT) {
  if (out || length) Copy("", out, capacity, length);
  return SQL_SUCCESS;
}
SQLRETURN SQL_API SQLDisconnect(SQLHDBC) { return SQL_SUCCESS; }
SQLRETURN SQL_API SQLExecDirect(SQLHSTMT statement, SQLCHAR* text, SQLINTEGER length) {
  const bool fail = length >= 4 && std::memcmp(text, "FAIL", 4) == 0;
  static_cast<Handle*>(statement)->failed = fail;
  return fail ? SQL_ERROR : SQL_SUCCESS;
}
SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT, SQLSMALLINT* count) {
  *count = 0;
  return SQL_SUCCESS;
}
SQLRETURN SQL_API SQLRowCount(SQLHSTMT, SQLLEN* rows) {
  *rows = -1;
  return SQL_SUCCESS;
}
SQLRETURN SQL_API SQLMoreResults(SQLHSTMT) { return SQL_NO_DATA; }
// The driver manager asks how many records there are before reading them.
SQLRETURN SQL_API SQLGetDiagField(SQLSMALLINT, SQLHANDLE handle, SQLSMALLINT, SQLSMALLINT field,
                                  SQLPOINTER value, SQLSMALLINT, SQLSMALLINT*) {
  const auto* h = static_cast<Handle*>(handle);
  if (field != SQL_DIAG_NUMBER) return SQL_NO_DATA;
  *static_cast<SQLINTEGER*>(value) = h->type == SQL_HANDLE_STMT && h->failed ? 2 : 0;
  return SQL_SUCCESS;
}
SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT, SQLHANDLE handle, SQLSMALLINT number, SQLCHAR* state,
                                SQLINTEGER* native, SQLCHAR* message, SQLSMALLINT capacity,
                                SQLSMALLINT* length) {
  const auto* h = static_cast<Handle*>(handle);
  if (h->type != SQL_HANDLE_STMT || !h->failed || number > 2) return SQL_NO_DATA;
  std::memcpy(state, number == 1 ? "42000" : "01000", 6);
  *native = number == 1 ? 156 : 0;
  return Copy(number == 1 ? "Incorrect syntax near 'FAIL'.\n" : "The statement has been terminated.",
              message, capacity, length);
}

}  // extern "C"
