// ODBC handles, the calls that carry text, and the diagnostics of failed
// calls turned into the library's errors.
#ifndef VORNEXA_DATA_ODBC_HANDLE_H_
#define VORNEXA_DATA_ODBC_HANDLE_H_

#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vornexa/data/connection.h"

namespace vornexa::odbc {

// How text crosses the driver. Unicode drivers (PostgreSQL's, SQL Server's)
// take UTF-16 through the wide calls, whatever the process locale. SQLite's
// driver is a narrow one that keeps UTF-8 as it stands; given wide calls,
// the driver manager would narrow them and lose every character beyond
// Latin-1, so it gets the UTF-8 bytes through the narrow calls instead.
enum class Encoding { kUtf16, kUtf8 };

// The encoding for a database's usual driver.
inline Encoding EncodingFor(Dialect dialect) {
  return dialect == Dialect::Sqlite ? Encoding::kUtf8 : Encoding::kUtf16;
}

// Owns one environment, connection or statement handle.
class Handle {
 public:
  // Allocates a handle of `type` under `parent` (SQL_NULL_HANDLE for an
  // environment); raises -2146824579 when the driver manager cannot.
  Handle(SQLSMALLINT type, SQLHANDLE parent);
  ~Handle();
  Handle(Handle&& other) noexcept : type_(other.type_), handle_(other.handle_) {
    other.handle_ = SQL_NULL_HANDLE;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle& operator=(Handle&&) = delete;

  SQLHANDLE get() const { return handle_; }
  SQLSMALLINT type() const { return type_; }

 private:
  SQLSMALLINT type_;
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

// SQLDriverConnect without prompting.
SQLRETURN DriverConnect(const Handle& connection, std::string_view connection_string,
                        Encoding encoding);
// SQLExecDirect. Raises -2147217900 for text the wide calls cannot encode.
SQLRETURN ExecDirect(const Handle& statement, std::string_view sql, Encoding encoding);
// SQLPrepare, the same way.
SQLRETURN Prepare(const Handle& statement, std::string_view sql, Encoding encoding);

// One diagnostic record of a call.
struct Diagnostic {
  std::string state;  // SQLSTATE, five characters
  int32_t native = 0;
  std::string message;
};

// The diagnostic records the last call on `handle` left.
std::vector<Diagnostic> ReadDiagnostics(const Handle& handle, Encoding encoding);

// The data-access number for a failure whose first record is `first`: class
// 23 is a key or constraint violation, class 08 a connection that is lost or
// cannot be used, anything else a rejected statement. Two databases say it
// their own way, which `dialect` tells: SQLite's driver reports constraint
// failures as HY000 with SQLite's result code 19 as the native code, and
// PostgreSQL ends a session it shuts down with 57P01 to 57P03.
int32_t ErrorNumber(const Diagnostic& first, Dialect dialect);

// Raises `records` as an Error: the number from the first record (or
// `number` when given); the description, SQLSTATE and native code are the
// first record's, exactly as the driver gave them: callers match on the
// database's own text, so nothing is added to it.
[[noreturn]] void Raise(const std::vector<Diagnostic>& records, Dialect dialect,
                        int32_t number = 0);

// Raises the diagnostics of `handle` when `rc` reports a failure.
inline void Check(SQLRETURN rc, const Handle& handle, Dialect dialect) {
  if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
    Raise(ReadDiagnostics(handle, EncodingFor(dialect)), dialect);
  }
}

}  // namespace vornexa::odbc

#endif  // VORNEXA_DATA_ODBC_HANDLE_H_
