// The embedded driver: SQLite, fed statements in the SQL Server dialect
// through the translator.
#include <sqlite3.h>

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "vornexa/data/column_index.h"
#include "vornexa/data/connection.h"
#include "vornexa/data/materialized_recordset.h"
#include "vornexa/data/sql_translator.h"
#include "vornexa/data/sqlite_failure.h"
#include "vornexa/data/sqlite_statement_cache.h"
#include "vornexa/data/statement_parameters.h"
#include "vornexa/base/error.h"

namespace vornexa {

namespace {

// How long a connection waits for another's lock: `requested`, else the
// environment's VORNEXA_BUSY_TIMEOUT_MS, else 10 seconds.
int BusyTimeoutMs(std::optional<int> requested) {
  if (requested) return std::max(*requested, 0);
  const char* setting = std::getenv(kBusyTimeoutVariable);
  if (setting == nullptr || *setting == '\0') return 10000;
  int milliseconds = 0;
  const char* end = setting + std::strlen(setting);
  const auto [stop, error] = std::from_chars(setting, end, milliseconds);
  if (error != std::errc() || stop != end || milliseconds < 0) {
    throw Error(error_number::kConnectionUnusable, std::string(kDataSource),
                std::string(kBusyTimeoutVariable) + " vale '" + setting +
                    "': debe ser un número de milisegundos");
  }
  return milliseconds;
}

// Opens `path` with `flags`; raises 3709 naming the file when it cannot.
// Without SQLite's own mutex: a connection serves one thread at a time, and
// the lock on every call would cost reads about a tenth of their time.
sqlite3* OpenDatabase(const std::string& path, const std::string& name, int flags,
                      int busy_timeout_ms) {
  sqlite3* db = nullptr;
  const int rc =
      sqlite3_open_v2(name.c_str(), &db, flags | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    throw Error(error_number::kConnectionUnusable, std::string(kDataSource),
                "No se puede abrir la base de datos '" + path + "': " + message);
  }
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, busy_timeout_ms);
  return db;
}

// The failures that mean the file system will not take writes there.
bool IsUnwritable(int code) {
  const int primary = code & 0xFF;
  return primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN;
}

bool IsNonEmptyFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && info.st_size > 0;
}

// `path` as a URI that declares the file unchangeable, so that SQLite reads it
// without the shared-memory file a WAL database otherwise needs.
std::string ImmutableUri(const std::string& path) {
  if (path.rfind("file:", 0) == 0) {
    return path + (path.find('?') == std::string::npos ? "?" : "&") + "immutable=1";
  }
  std::string uri = "file:";
  for (unsigned char c : path) {
    if (c == '%' || c == '?' || c == '#' || c < 0x20) {
      constexpr char kHex[] = "0123456789ABCDEF";
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 0xF];
    } else {
      uri += static_cast<char>(c);
    }
  }
  return uri + "?immutable=1";
}

// Owns one prepared statement, or holds one taken from a connection's cache
// and gives it back, reset, when done.
class Statement {
 public:
  // Compiles `sql` afresh.
  Statement(sqlite3* db, std::string_view sql) : db_(db) {
    const std::string translated = TranslateSql(sql, Dialect::Sqlite);
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, translated.c_str(),
                                      static_cast<int>(translated.size()), &stmt_, &tail);
    if (rc != SQLITE_OK) RaiseSqliteError(db, rc);
    if (stmt_ == nullptr) Reject("La instrucción está vacía");
    if (!OnlyBlanks(tail)) {
      sqlite3_finalize(stmt_);
      Reject("Solo se admite una instrucción por llamada");
    }
  }

  // Runs `statement` through the compiled skeleton kept in `cache` (compiled
  // and kept now when missing), its values bound. Null when the skeleton
  // does not compile to one statement with those parameters: the caller
  // then compiles the text itself, which reports whatever is wrong with it
  // exactly as written. The values move out of `statement`, which gets
  // storage back for its next use.
  static std::unique_ptr<Statement> Reuse(sqlite3* db,
                                          const std::shared_ptr<SqliteStatementCache>& cache,
                                          ParameterisedStatement* statement) {
    SqliteStatementCache::Entry* entry = cache->Take(statement->skeleton);
    sqlite3_stmt* stmt = entry ? entry->statement : CompileSkeleton(db, statement->skeleton);
    if (stmt == nullptr) return nullptr;
    // Kept unless a result set still open holds this skeleton's statement:
    // this one is then finalized after use.
    if (entry == nullptr) entry = cache->Keep(statement->skeleton, stmt);
    auto reused = std::unique_ptr<Statement>(new Statement(db, stmt, cache, entry));
    std::vector<StatementParameter>& values = entry ? entry->parameters : reused->parameters_;
    values.swap(statement->parameters);
    if (!reused->BindParameters(values)) return nullptr;
    return reused;
  }

  ~Statement() {
    if (entry_ != nullptr) {
      sqlite3_reset(stmt_);
      cache_->Release(entry_);
      return;
    }
    sqlite3_finalize(stmt_);
  }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  [[noreturn]] static void Reject(const char* description) {
    throw Error(error_number::kStatementRejected, std::string(kDataSource), description);
  }

  // Advances to the next row; false at the end.
  bool Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    RaiseSqliteError(db_, rc);
  }

  // Valid once stepped: a statement recompiled after a schema change may
  // have other columns than when it was first compiled. Names are read once
  // per compiled form of a cached statement.
  const ColumnIndex& Columns() {
    std::optional<ColumnIndex>& columns = entry_ ? entry_->columns : columns_;
    const int reprepares = sqlite3_stmt_status(stmt_, SQLITE_STMTSTATUS_REPREPARE, 0);
    if (!columns || (entry_ && entry_->columns_reprepares != reprepares)) {
      std::vector<std::string> names;
      const int count = sqlite3_column_count(stmt_);
      names.reserve(count);
      for (int i = 0; i < count; ++i) names.emplace_back(sqlite3_column_name(stmt_, i));
      columns.emplace(std::move(names));
      if (entry_) entry_->columns_reprepares = reprepares;
    }
    return *columns;
  }

  Value Column(size_t i) const {
    const int col = static_cast<int>(i);
    switch (sqlite3_column_type(stmt_, col)) {
      case SQLITE_INTEGER:
        return Value::Integer(sqlite3_column_int64(stmt_, col));
      case SQLITE_FLOAT:
        return Value::Real(sqlite3_column_double(stmt_, col));
      case SQLITE_NULL:
        return Value();
      default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
        return Value::Text(std::string(text, sqlite3_column_bytes(stmt_, col)));
      }
    }
  }

  std::vector<Value> Row(size_t columns) const {
    std::vector<Value> row;
    row.reserve(columns);
    for (size_t i = 0; i < columns; ++i) row.push_back(Column(i));
    return row;
  }

 private:
  Statement(sqlite3* db, sqlite3_stmt* stmt, const std::shared_ptr<SqliteStatementCache>& cache,
            SqliteStatementCache::Entry* entry)
      : db_(db), stmt_(stmt), cache_(cache), entry_(entry) {}

  // One call runs one statement: text after it would otherwise be ignored.
  static bool OnlyBlanks(const char* tail) {
    for (; *tail != '\0'; ++tail) {
      if (*tail != ';' && *tail != ' ' && *tail != '\n' && *tail != '\r' && *tail != '\t') {
        return false;
      }
    }
    return true;
  }

  static sqlite3_stmt* CompileSkeleton(sqlite3* db, const std::string& skeleton) {
    const std::string translated = TranslateSql(skeleton, Dialect::Sqlite);
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v3(db, translated.c_str(), static_cast<int>(translated.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, &tail);
    if (rc == SQLITE_OK && stmt != nullptr && OnlyBlanks(tail)) return stmt;
    sqlite3_finalize(stmt);
    return nullptr;
  }

  // Binds every value taken out of the text; `parameters` outlive the run.
  // Each use binds every parameter again.
  bool BindParameters(const std::vector<StatementParameter>& parameters) {
    if (sqlite3_bind_parameter_count(stmt_) != static_cast<int>(parameters.size())) return false;
    for (size_t i = 0; i < parameters.size(); ++i) {
      const int index = static_cast<int>(i) + 1;
      const StatementParameter& parameter = parameters[i];
      const int rc = parameter.is_integer
                         ? sqlite3_bind_int64(stmt_, index, parameter.integer)
                         : sqlite3_bind_text(stmt_, index, parameter.text.data(),
                                             static_cast<int>(parameter.text.size()),
                                             SQLITE_STATIC);
      if (rc != SQLITE_OK) return false;
    }
    return true;
  }

  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  // Kept alive by its users, so that an entry in use outlives the connection.
  std::shared_ptr<SqliteStatementCache> cache_;
  SqliteStatementCache::Entry* entry_ = nullptr;  // null: owned, finalized after use
  // Where an owned statement keeps its bound values and column names.
  std::vector<StatementParameter> parameters_;
  std::optional<ColumnIndex> columns_;
};

// Forward-only cursor: reads rows from the live statement as it moves. The
// column names are looked up on the first read, as a test for rows needs none.
class SqliteRecordset : public Recordset {
 public:
  explicit SqliteRecordset(std::unique_ptr<Statement> statement)
      : statement_(std::move(statement)), on_row_(statement_->Step()) {}

  bool Eof() const override {
    CheckOpen();
    return !on_row_;
  }
  void MoveNext() override {
    if (Eof()) RaiseDataError(error_number::kNoCurrentRecord);
    on_row_ = statement_->Step();
  }
  Value Field(std::string_view name) override {
    if (Eof()) RaiseDataError(error_number::kNoCurrentRecord);
    if (columns_ == nullptr) columns_ = &statement_->Columns();
    return statement_->Column(columns_->Find(name));
  }
  void Close() override { statement_.reset(); }

 private:
  void CheckOpen() const {
    if (!statement_) RaiseDataError(error_number::kObjectClosed);
  }

  std::unique_ptr<Statement> statement_;
  bool on_row_;
  const ColumnIndex* columns_ = nullptr;  // the statement's, once read
};

class SqliteConnection : public Connection {
 public:
  SqliteConnection(const std::string& path, size_t statement_cache_size, int busy_timeout_ms)
      : path_(path), busy_timeout_ms_(busy_timeout_ms) {
    RefuseOtherThanFile(path);
    db_ = OpenDatabase(path, path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, busy_timeout_ms_);
    try {
      if (path != ":memory:" && !path.empty() && !PrepareForWriting()) OpenForReading(path);
      // FULL makes each commit durable against power loss, not only against
      // a crash of the process.
      Run("PRAGMA synchronous=FULL");
    } catch (const Error& e) {
      const Error failure = OpenFailure(path, e);
      sqlite3_close_v2(db_);
      throw failure;
    } catch (...) {
      sqlite3_close_v2(db_);
      throw;
    }
    if (statement_cache_size > 0) {
      cache_ = std::make_shared<SqliteStatementCache>(statement_cache_size);
    }
  }
  // A cache that no open result set uses goes first, its statements
  // finalized; otherwise it goes, and the database with it, when the last
  // such result set closes.
  ~SqliteConnection() override {
    cache_.reset();
    sqlite3_close_v2(db_);
  }

  int64_t Execute(std::string_view sql) override {
    return Guarded([&] {
      const std::unique_ptr<Statement> statement = Compile(sql);
      const int64_t before = sqlite3_total_changes64(db_);
      while (statement->Step()) {
      }
      return sqlite3_total_changes64(db_) - before;
    });
  }

  std::unique_ptr<Recordset> Open(std::string_view sql, Cursor cursor) override {
    return Guarded([&]() -> std::unique_ptr<Recordset> {
      std::unique_ptr<Statement> statement = Compile(sql);
      if (cursor == Cursor::ForwardOnly) {
        return std::make_unique<SqliteRecordset>(std::move(statement));
      }
      bool on_row = statement->Step();
      ColumnIndex columns = statement->Columns();  // a copy: the result set outlives the statement
      std::vector<std::vector<Value>> rows;
      for (; on_row; on_row = statement->Step()) rows.push_back(statement->Row(columns.size()));
      return std::make_unique<MaterializedRecordset>(std::move(columns), std::move(rows));
    });
  }

  Dialect SqlDialect() const override { return Dialect::Sqlite; }

  // The outermost scope opens a transaction that takes the write lock at
  // once, so that a writer in another process is waited for once, at the
  // start, instead of failing some writes of the scope and not others.
  // Inside it, or inside a transaction the caller opened, scopes are
  // savepoints.
  void BeginAtomic() override {
    Guarded([&] {
      if (depth_ == 0 && sqlite3_get_autocommit(db_)) {
        Run("BEGIN IMMEDIATE");
        own_transaction_ = true;
      } else {
        Run("SAVEPOINT " + SavepointName(depth_ + 1));
      }
      ++depth_;
    });
  }
  // The level counts down only once its savepoint is gone, so that after a
  // failed release the rollback that follows finds it.
  void CommitAtomic() override {
    Guarded([&] {
      if (depth_ == 1 && own_transaction_) {
        Run("COMMIT");
        own_transaction_ = false;
      } else {
        Run("RELEASE " + SavepointName(depth_));
      }
      --depth_;
    });
  }
  // The scope is closed whatever happens. When SQLite has undone the whole
  // transaction there is nothing left to roll back at any level.
  void RollbackAtomic() override {
    NoteLostTransaction({});
    const int level = depth_--;
    const bool own = level == 1 && own_transaction_;
    if (level == 1) own_transaction_ = false;
    if (lost_cause_) {
      if (depth_ == 0) lost_cause_.reset();
      return;
    }
    Guarded([&] {
      if (own) {
        Run("ROLLBACK");
        return;
      }
      const std::string name = SavepointName(level);
      Run("ROLLBACK TO " + name);
      Run("RELEASE " + name);
    });
  }

 private:
  static std::string SavepointName(int depth) { return "vornexa_" + std::to_string(depth); }

  // A device, a pipe or a folder is no database file: SQLite would report
  // the failure of its first read or write instead.
  static void RefuseOtherThanFile(const std::string& path) {
    struct stat info;
    if (path.rfind("file:", 0) == 0 || stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) {
      return;
    }
    throw Error(error_number::kConnectionUnusable, std::string(kDataSource),
                "No se puede abrir la base de datos '" + path + "': no es un fichero sino " +
                    (S_ISDIR(info.st_mode) ? "una carpeta" : "un dispositivo o una tubería") +
                    "; indique el fichero de la base de datos");
  }

  // Runs `body`, which fails only by raising an Error, and watches what
  // becomes of the scopes: SQLite undoes the whole transaction by itself
  // after some failures (a full disk, an I/O error, memory running out).
  // The scopes still open must not go on in autocommit, where each
  // statement would be saved on its own: every later call inside them
  // raises until the outermost one is rolled back. A writer's lock held
  // beyond the wait is described for what it is.
  template <typename Body>
  auto Guarded(Body&& body) -> decltype(body()) {
    NoteLostTransaction({});
    if (lost_cause_) RaiseLostTransaction();
    try {
      return body();
    } catch (const Error& e) {
      NoteLostTransaction(e.Description());
      if ((e.NativeError() & 0xFF) == SQLITE_BUSY) throw BusyError(e);
      throw;
    }
  }

  // Notes that the transaction of the open scopes is gone, `cause` being the
  // failure that took it (empty when unknown).
  void NoteLostTransaction(std::optional<std::string> cause) {
    if (depth_ > 0 && !lost_cause_ && sqlite3_get_autocommit(db_)) {
      lost_cause_ = cause.value_or("");
    }
  }

  [[noreturn]] void RaiseLostTransaction() const {
    const std::string cause = lost_cause_->empty() ? "" : " (" + *lost_cause_ + ")";
    throw Error(error_number::kStatementRejected, std::string(kDataSource),
                "La base de datos deshizo entera la transacción en curso tras un fallo" + cause +
                    ": no se ha guardado nada de ella");
  }

  // Another connection held its lock longer than this one waits. Whether it
  // keeps even readers out tells a writer's lock from an exclusive one.
  Error BusyError(const Error& busy) {
    sqlite3_busy_timeout(db_, 0);
    const int probe = sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                                   nullptr);
    sqlite3_busy_timeout(db_, busy_timeout_ms_);
    return Error(busy.Number(), busy.Source(),
                 SqliteBusyDescription(path_, (probe & 0xFF) == SQLITE_BUSY, busy_timeout_ms_,
                                       busy.Description()),
                 busy.SqlState(), busy.NativeError());
  }

  // What to raise when preparing the file failed: a lock or a file that is
  // no database said for what it is, naming the file.
  Error OpenFailure(const std::string& path, const Error& failure) {
    switch (failure.NativeError() & 0xFF) {
      case SQLITE_BUSY:
        return BusyError(failure);
      case SQLITE_NOTADB:
        return Error(error_number::kConnectionUnusable, std::string(kDataSource),
                     "No se puede abrir la base de datos '" + path + "': el fichero no es una "
                     "base de datos SQLite, o está dañado; indique el fichero de la base de "
                     "datos (" + failure.Description() + ")");
      default:
        return failure;
    }
  }

  // WAL lets readers run beside the writer. False when the file, its folder
  // or its medium takes no writes (SQLite then opened the file for reading,
  // or cannot make the WAL's companion files).
  bool PrepareForWriting() {
    if (sqlite3_db_readonly(db_, "main") == 1) return false;
    const int rc = sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) return true;
    if (!IsUnwritable(rc)) RaiseSqliteError(db_, rc);
    return false;
  }

  // Reopens a database that cannot be written for reading only; writes then
  // fail with SQLite's read-only error. A WAL database whose shared-memory
  // file cannot be made is read as immutable, which is sound only while no
  // write is pending in its WAL file: with one there, it is refused.
  void OpenForReading(const std::string& path) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
    db_ = OpenDatabase(path, path, SQLITE_OPEN_READONLY, busy_timeout_ms_);
    const int rc = sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                                nullptr);
    if (rc == SQLITE_OK) return;
    if (!IsUnwritable(rc)) RaiseSqliteError(db_, rc);
    sqlite3_close_v2(db_);
    db_ = nullptr;
    if (IsNonEmptyFile(path + "-wal")) {
      throw Error(error_number::kConnectionUnusable, std::string(kDataSource),
                  "No se puede abrir la base de datos '" + path +
                      "': está en un medio de solo lectura con cambios sin integrar en su "
                      "archivo '" + path + "-wal'");
    }
    db_ = OpenDatabase(path, ImmutableUri(path), SQLITE_OPEN_READONLY, busy_timeout_ms_);
  }

  // The reused compiled form of a query or write when the cache is on and
  // the text allows it; otherwise the text compiled afresh.
  std::unique_ptr<Statement> Compile(std::string_view sql) {
    if (cache_) {
      if (parameteriser_.Parameterise(sql, &scratch_)) {
        if (auto reused = Statement::Reuse(db_, cache_, &scratch_)) return reused;
      }
    }
    return std::make_unique<Statement>(db_, sql);
  }

  // The driver's own statements (pragmas, transactions, savepoints), reused
  // from the cache like any other statement when it is on.
  void Run(const std::string& sql) {
    if (cache_) {
      scratch_.skeleton = sql;
      scratch_.parameters.clear();
      if (auto reused = Statement::Reuse(db_, cache_, &scratch_)) {
        while (reused->Step()) {
        }
        return;
      }
    }
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) RaiseSqliteError(db_, rc);
  }

  const std::string path_;
  const int busy_timeout_ms_;
  sqlite3* db_ = nullptr;
  std::shared_ptr<SqliteStatementCache> cache_;  // null when turned off
  // The statement being parameterised, its storage kept from call to call.
  ParameterisedStatement scratch_;
  StatementParameteriser parameteriser_;
  int depth_ = 0;                 // atomic scopes open
  bool own_transaction_ = false;  // the outermost one began the transaction
  // Set, with the failure behind it, once SQLite has undone the transaction
  // of the open scopes.
  std::optional<std::string> lost_cause_;
};

}  // namespace

std::shared_ptr<Connection> OpenSqlite(const std::string& path, const SqliteOptions& options) {
  return std::make_shared<SqliteConnection>(path, StatementCacheCapacity(options.statement_cache_size),
                                            BusyTimeoutMs(options.busy_timeout_ms));
}

std::shared_ptr<Connection> OpenSqlite(const std::string& path) {
  return OpenSqlite(path, SqliteOptions{});
}

}  // namespace vornexa
