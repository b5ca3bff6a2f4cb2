// The embedded driver: SQLite, fed statements in the SQL Server dialect
// through the translator.
#include <sqlite3.h>

#include <string>

#include "vornexa/data/column_index.h"
#include "vornexa/data/connection.h"
#include "vornexa/data/materialized_recordset.h"
#include "vornexa/data/sql_translator.h"
#include "vornexa/base/error.h"

namespace vornexa {

namespace {

// Writers on one file wait for each other this long before giving up.
constexpr int kBusyTimeoutMs = 10000;

[[noreturn]] void RaiseSqliteError(sqlite3* db, int code) {
  const int primary = code & 0xFF;
  const int32_t number = primary == SQLITE_CONSTRAINT ? error_number::kConstraintViolation
                                                      : error_number::kStatementRejected;
  throw Error(number, std::string(kDataSource), db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
}

// Owns one prepared statement.
class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql) : db_(db) {
    const std::string translated = TranslateSql(sql, Dialect::Sqlite);
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, translated.c_str(),
                                      static_cast<int>(translated.size()), &stmt_, &tail);
    if (rc != SQLITE_OK) RaiseSqliteError(db, rc);
    if (stmt_ == nullptr) Reject("La instrucción está vacía");
    // One call runs one statement: text after it would otherwise be ignored.
    for (; *tail != '\0'; ++tail) {
      if (*tail != ';' && *tail != ' ' && *tail != '\n' && *tail != '\r' && *tail != '\t') {
        sqlite3_finalize(stmt_);
        Reject("Solo se admite una instrucción por llamada");
      }
    }
  }
  ~Statement() { sqlite3_finalize(stmt_); }
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

  ColumnIndex Columns() const {
    std::vector<std::string> names;
    const int count = sqlite3_column_count(stmt_);
    names.reserve(count);
    for (int i = 0; i < count; ++i) names.emplace_back(sqlite3_column_name(stmt_, i));
    return ColumnIndex(std::move(names));
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
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// Forward-only cursor: reads rows from the live statement as it moves.
class SqliteRecordset : public Recordset {
 public:
  SqliteRecordset(sqlite3* db, std::string_view sql)
      : statement_(std::make_unique<Statement>(db, sql)),
        columns_(statement_->Columns()),
        on_row_(statement_->Step()) {}

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
    return statement_->Column(columns_.Find(name));
  }
  void Close() override { statement_.reset(); }

 private:
  void CheckOpen() const {
    if (!statement_) RaiseDataError(error_number::kObjectClosed);
  }

  std::unique_ptr<Statement> statement_;
  ColumnIndex columns_;
  bool on_row_;
};

class SqliteConnection : public Connection {
 public:
  explicit SqliteConnection(const std::string& path) {
    const int rc = sqlite3_open_v2(path.c_str(), &db_,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI,
                                   nullptr);
    if (rc != SQLITE_OK) {
      const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
      sqlite3_close(db_);
      throw Error(error_number::kConnectionUnusable, std::string(kDataSource),
                  "No se puede abrir la base de datos '" + path + "': " + message);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // WAL lets readers run beside the writer; FULL makes each commit durable
    // against power loss, not only against a crash of the process.
    if (path != ":memory:" && !path.empty()) Run("PRAGMA journal_mode=WAL");
    Run("PRAGMA synchronous=FULL");
  }
  ~SqliteConnection() override { sqlite3_close_v2(db_); }

  int64_t Execute(std::string_view sql) override {
    Statement statement(db_, sql);
    const int64_t before = sqlite3_total_changes64(db_);
    while (statement.Step()) {
    }
    return sqlite3_total_changes64(db_) - before;
  }

  std::unique_ptr<Recordset> Open(std::string_view sql, Cursor cursor) override {
    if (cursor == Cursor::ForwardOnly) return std::make_unique<SqliteRecordset>(db_, sql);
    Statement statement(db_, sql);
    ColumnIndex columns = statement.Columns();
    std::vector<std::vector<Value>> rows;
    while (statement.Step()) rows.push_back(statement.Row(columns.size()));
    return std::make_unique<MaterializedRecordset>(std::move(columns), std::move(rows));
  }

  Dialect SqlDialect() const override { return Dialect::Sqlite; }

  // Savepoints nest, and open a transaction when none is open.
  void BeginAtomic() override { Run("SAVEPOINT " + SavepointName(++depth_)); }
  // The level counts down only once its savepoint is gone, so that after a
  // failed release (a busy commit) the rollback that follows finds it.
  void CommitAtomic() override {
    Run("RELEASE " + SavepointName(depth_));
    --depth_;
  }
  void RollbackAtomic() override {
    const std::string name = SavepointName(depth_);
    Run("ROLLBACK TO " + name);
    Run("RELEASE " + name);
    --depth_;
  }

 private:
  static std::string SavepointName(int depth) { return "vornexa_" + std::to_string(depth); }

  void Run(const std::string& sql) {
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) RaiseSqliteError(db_, rc);
  }

  sqlite3* db_ = nullptr;
  int depth_ = 0;
};

}  // namespace

std::shared_ptr<Connection> OpenSqlite(const std::string& path) {
  return std::make_shared<SqliteConnection>(path);
}

}  // namespace vornexa
