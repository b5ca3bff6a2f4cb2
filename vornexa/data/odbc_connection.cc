// The ODBC driver's connection: opening, statements, atomic scopes. The
// contract and the transaction approach per database are in odbc_connection.h.
#include "vornexa/data/odbc_connection.h"

#include <cstdint>
#include <string_view>

#include "vornexa/data/odbc_handle.h"
#include "vornexa/data/odbc_statement.h"
#include "vornexa/data/statement_cache.h"
#include "vornexa/base/error.h"

namespace vornexa {

namespace {

using odbc::Diagnostic;
using odbc::Handle;
using odbc::Session;

// PostgreSQL's warning for a BEGIN inside an open transaction.
constexpr std::string_view kAlreadyInTransaction = "25001";

// Where reusing prepared statements was measured to pay: through SQLite's
// driver a load costs a third of running its text. On PostgreSQL the gain
// was within the noise of a round trip to the server, and its driver sends
// the values untyped, for the server to infer where a literal has a type of
// its own, so statements run directly there unless asked; SQL Server's was
// not measured.
size_t DefaultStatementCacheSize(Dialect dialect) {
  return dialect == Dialect::Sqlite ? kOdbcStatementCacheSize : 0;
}

std::shared_ptr<Session> Connect(const std::string& connection_string, Dialect dialect,
                                 const OdbcOptions& options) {
  const size_t cache_size = StatementCacheCapacity(
      options.statement_cache_size.value_or(DefaultStatementCacheSize(dialect)));
  Handle environment(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
  SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                0);
  auto session = std::make_shared<Session>(std::move(environment), dialect);
  const SQLHANDLE connection = session->connection.get();
  const auto timeout = static_cast<SQLULEN>(options.login_timeout_seconds);
  SQLSetConnectAttrW(connection, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(timeout), 0);
  const odbc::Encoding encoding = odbc::EncodingFor(dialect);
  const SQLRETURN rc = odbc::DriverConnect(session->connection, connection_string, encoding);
  if (!SQL_SUCCEEDED(rc)) {
    std::vector<Diagnostic> records = odbc::ReadDiagnostics(session->connection, encoding);
    // Nothing to disconnect: keep the session's destructor from trying.
    session->connected = false;
    if (records.empty()) {
      throw Error(error_number::kConnectionUnusable, std::string(kDataSource),
                  "No se puede abrir la conexión ODBC: el controlador no dio motivo");
    }
    odbc::Raise(records, dialect, error_number::kConnectionUnusable);
  }
  if (cache_size > 0) session->prepared = std::make_unique<odbc::PreparedStatementCache>(cache_size);
  return session;
}

class OdbcConnection : public Connection {
 public:
  OdbcConnection(const std::string& connection_string, Dialect dialect, const OdbcOptions& options)
      : session_(Connect(connection_string, dialect, options)) {}

  int64_t Execute(std::string_view sql) override {
    odbc::Statement statement(session_, sql);
    const int64_t rows = statement.AffectedRows();
    statement.FinishResults();
    return rows;
  }

  std::unique_ptr<Recordset> Open(std::string_view sql, Cursor cursor) override {
    return odbc::OpenRecordset(session_, sql, cursor);
  }

  Dialect SqlDialect() const override { return session_->dialect; }

  void BeginAtomic() override {
    if (depth_ == 0) {
      BeginOutermost();
    } else {
      Execute(SetSavepoint(depth_ + 1));
    }
    ++depth_;
  }

  // A failed commit leaves the scope open, for the rollback that follows.
  void CommitAtomic() override {
    if (depth_ == 1 && own_transaction_) {
      Execute("COMMIT TRANSACTION");
      own_transaction_ = false;
    } else if (session_->dialect != Dialect::SqlServer) {
      Execute("RELEASE SAVEPOINT " + SavepointName(depth_));
    }
    --depth_;
  }

  // The scope is closed whatever happens; a failure is still reported.
  void RollbackAtomic() override {
    const int level = depth_--;
    if (level == 1 && own_transaction_) {
      own_transaction_ = false;
      Execute("ROLLBACK TRANSACTION");
    } else if (session_->dialect == Dialect::SqlServer) {
      Execute("ROLLBACK TRANSACTION " + SavepointName(level));
    } else {
      Execute("ROLLBACK TO SAVEPOINT " + SavepointName(level));
      Execute("RELEASE SAVEPOINT " + SavepointName(level));
    }
  }

 private:
  static std::string SavepointName(int level) { return "vornexa_" + std::to_string(level); }

  std::string SetSavepoint(int level) const {
    return (session_->dialect == Dialect::SqlServer ? "SAVE TRANSACTION " : "SAVEPOINT ") +
           SavepointName(level);
  }

  void BeginOutermost() {
    switch (session_->dialect) {
      case Dialect::Sqlite:
        Execute(SetSavepoint(1));
        return;
      case Dialect::SqlServer: {
        const std::unique_ptr<Recordset> count = Open("SELECT @@TRANCOUNT AS n", Cursor::Static);
        if (count->Field("n").ToInt64() > 0) {
          Execute(SetSavepoint(1));
          return;
        }
        Execute("BEGIN TRANSACTION");
        own_transaction_ = true;
        return;
      }
      case Dialect::PostgreSql:
        if (BeginWarnsOfOpenTransaction()) {
          Execute(SetSavepoint(1));
          return;
        }
        own_transaction_ = true;
        return;
    }
  }

  // Runs BEGIN; true when the server answered that a transaction was
  // already open (which BEGIN then left as it was).
  bool BeginWarnsOfOpenTransaction() {
    const Dialect dialect = session_->dialect;
    Handle statement(SQL_HANDLE_STMT, session_->connection.get());
    const SQLRETURN rc = odbc::ExecDirect(statement, "BEGIN TRANSACTION", odbc::EncodingFor(dialect));
    odbc::Check(rc, statement, dialect);
    if (rc != SQL_SUCCESS_WITH_INFO) return false;
    for (const Diagnostic& record : odbc::ReadDiagnostics(statement, odbc::EncodingFor(dialect))) {
      if (record.state == kAlreadyInTransaction) return true;
    }
    return false;
  }

  std::shared_ptr<Session> session_;
  int depth_ = 0;
  // The outermost scope opened the transaction itself (no caller's was open).
  bool own_transaction_ = false;
};

}  // namespace

std::shared_ptr<Connection> OpenOdbc(const std::string& connection_string, Dialect dialect,
                                     const OdbcOptions& options) {
  return std::make_shared<OdbcConnection>(connection_string, dialect, options);
}

}  // namespace vornexa
