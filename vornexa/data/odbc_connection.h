// The ODBC driver: the library's statements on a database server (SQL Server,
// PostgreSQL) or any database with an ODBC driver, over unixODBC.
//
// Statements are translated to the dialect named at opening: SqlServer
// passes them through unchanged, PostgreSql and Sqlite rewrite the SQL Server
// constructs the library uses. They run directly, or, with the statement
// cache, as prepared statements reused per connection: the literals of a
// query or write are bound as parameters of the statement prepared from its
// skeleton, with the same rows, types and errors as the text. Text crosses the
// driver as UTF-16, so any Unicode text is stored and read back unchanged.
// Exact numerics (money, numeric) are read as decimal text, so amounts reach
// Currency without passing through a double.
//
// Errors carry the driver's first diagnostic: its message unaltered as the
// description, its SQLSTATE and native code as Error::SqlState() and
// Error::NativeError(). The numbers are the data-access ones: -2147217873 for
// SQLSTATE class 23 (and SQLite's constraint code), -2146824579 for a
// connection that cannot be opened or has been lost (class 08), -2147217900
// for any other failure.
//
// Atomic scopes. The outermost scope joins a transaction the caller opened on
// the connection (Execute("BEGIN TRANSACTION")) through a savepoint, and
// opens a transaction of its own when there is none; inner scopes are
// savepoints. How each database is asked:
//   SqlServer   @@TRANCOUNT tells whether a transaction is open; savepoints
//               are SAVE TRANSACTION name / ROLLBACK TRANSACTION name (SQL
//               Server has no release: the enclosing commit keeps them).
//   PostgreSql  BEGIN opens the scope's transaction; when one is already
//               open the server answers with a warning (SQLSTATE 25001) and
//               the scope takes a SAVEPOINT inside it instead.
//   Sqlite      SAVEPOINT at every level: SQLite opens a transaction for a
//               savepoint when none is open and nests it in one that is.
// The driver runs in autocommit mode throughout; only the statements above
// delimit transactions, so a caller's own BEGIN/COMMIT keeps its meaning.
#ifndef VORNEXA_DATA_ODBC_CONNECTION_H_
#define VORNEXA_DATA_ODBC_CONNECTION_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "vornexa/data/connection.h"

namespace vornexa {

struct OdbcOptions {
  // How long opening may wait for the server before it fails with
  // -2146824579, so that an unreachable server is reported, not waited for.
  int login_timeout_seconds = 15;
  // Prepared statements kept per connection and reused; 0 runs every
  // statement directly. Unset, the database's default applies:
  // kOdbcStatementCacheSize for Sqlite, where reusing them pays, 0 for
  // PostgreSql and SqlServer. VORNEXA_STATEMENT_CACHE=0 turns it off for
  // every connection. Asked for on PostgreSQL, integer values are prepared
  // cast to their literal's type (integer, or bigint beyond), which the text
  // gives them and the driver would not, and a statement the server refuses
  // to prepare (an unknown column, a syntax error) fails with the same number
  // and SQLSTATE, its driver's description ending in "Error while preparing
  // parameters" instead of "Error while executing the query". A statement
  // with more than 1,000 values runs directly.
  std::optional<size_t> statement_cache_size;
};
inline constexpr size_t kOdbcStatementCacheSize = 64;

// Opens an ODBC connection; `dialect` names the database behind it. Raises
// -2146824579 when it cannot be opened in time, or in a build without the driver.
std::shared_ptr<Connection> OpenOdbc(const std::string& connection_string, Dialect dialect,
                                     const OdbcOptions& options = OdbcOptions());

}  // namespace vornexa

#endif  // VORNEXA_DATA_ODBC_CONNECTION_H_
