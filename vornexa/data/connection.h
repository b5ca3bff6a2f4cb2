// Data access: a connection runs statements written in the SQL Server dialect
// and opens result sets on queries. Drivers (embedded SQLite, ODBC) translate
// to their database where needed. A connection and the result sets it opens
// serve one thread at a time: the drivers take no locks of their own.
#ifndef VORNEXA_DATA_CONNECTION_H_
#define VORNEXA_DATA_CONNECTION_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vornexa/data/value.h"

namespace vornexa {

enum class Cursor { ForwardOnly, Static };
enum class Dialect { SqlServer, PostgreSql, Sqlite };

// Rows of one query. Starts on the first row (or at its end when empty).
class Recordset {
 public:
  virtual ~Recordset() = default;
  virtual bool Eof() const = 0;
  virtual void MoveNext() = 0;
  // The current row's value of column `name`, matched without regard to
  // letter case. Raises the data-access error for an unknown column (3265)
  // and for a read at the end (3021).
  virtual Value Field(std::string_view name) = 0;
  // Releases the rows; later reads raise 3704. Destruction closes too.
  virtual void Close() = 0;
};

// What Connection::Execute returns when the database does not tell how many
// rows a statement changed: callers must not read it as "no row".
inline constexpr int64_t kUnknownRowCount = -1;

class Connection {
 public:
  virtual ~Connection() = default;

  // Runs one statement; returns the number of rows it inserted, updated or
  // deleted (0 for other statements), or kUnknownRowCount when the database
  // does not say (SQL Server under SET NOCOUNT ON, through ODBC and ADO
  // alike): never 0 for a count it does not know. A statement the database
  // rejects raises -2147217900 (-2147217873 for a key or constraint
  // violation) with the database's own message as description.
  virtual int64_t Execute(std::string_view sql) = 0;

  // Opens a read-only result set on a query. A static cursor holds all rows
  // at once, so further statements may run on the connection while it is read.
  virtual std::unique_ptr<Recordset> Open(std::string_view sql,
                                          Cursor cursor = Cursor::ForwardOnly) = 0;

  // The database behind the connection; decides how dates are written.
  virtual Dialect SqlDialect() const = 0;

  // Atomic scopes (see AtomicScope). Nest: only the outermost commit makes
  // the writes durable, and they nest inside a transaction the caller opened.
  // When the database undoes the whole transaction by itself (a full disk on
  // SQLite), every later call inside the scopes still open raises, so that
  // nothing of the unit of work runs on, or is saved, outside it; rolling
  // back the outermost of them makes the connection usable again.
  virtual void BeginAtomic() = 0;
  virtual void CommitAtomic() = 0;
  virtual void RollbackAtomic() = 0;
};

// Makes the writes between construction and Commit() all happen or none:
// destruction without Commit() undoes them. Nestable.
class AtomicScope {
 public:
  explicit AtomicScope(Connection& connection);
  ~AtomicScope();
  AtomicScope(const AtomicScope&) = delete;
  AtomicScope& operator=(const AtomicScope&) = delete;

  void Commit();

 private:
  Connection& connection_;
  bool open_ = true;
};

// How the embedded driver runs statements.
struct SqliteOptions {
  // Compiled statements kept per connection and reused: the literals of a
  // query or write are bound as parameters of a statement compiled once, with
  // the same rows, types and errors as the text. 0 compiles every statement
  // afresh. The environment variable VORNEXA_STATEMENT_CACHE=0 turns the
  // cache off for every connection (1 or unset leaves it to this option).
  size_t statement_cache_size = 64;
  // How long a statement waits for a lock another connection holds (a
  // writer in another process) before it fails, saying which lock. Unset,
  // the environment variable VORNEXA_BUSY_TIMEOUT_MS gives it, else 10000.
  std::optional<int> busy_timeout_ms;
};
inline constexpr char kStatementCacheVariable[] = "VORNEXA_STATEMENT_CACHE";
inline constexpr char kBusyTimeoutVariable[] = "VORNEXA_BUSY_TIMEOUT_MS";

// Opens (creating if needed) an embedded database file; ":memory:" works.
// A file database runs in WAL mode with full synchronisation. A path naming
// a folder or a device, and a file that is no SQLite database, raise
// -2146824579 naming the path.
std::shared_ptr<Connection> OpenSqlite(const std::string& path);
std::shared_ptr<Connection> OpenSqlite(const std::string& path, const SqliteOptions& options);

}  // namespace vornexa

#endif  // VORNEXA_DATA_CONNECTION_H_
