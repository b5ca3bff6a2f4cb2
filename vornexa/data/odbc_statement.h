// Statements and result sets of the ODBC driver.
#ifndef VORNEXA_DATA_ODBC_STATEMENT_H_
#define VORNEXA_DATA_ODBC_STATEMENT_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vornexa/data/column_index.h"
#include "vornexa/data/connection.h"
#include "vornexa/data/odbc_handle.h"
#include "vornexa/data/odbc_text.h"
#include "vornexa/data/statement_cache.h"
#include "vornexa/data/statement_parameters.h"

namespace vornexa::odbc {

// A statement prepared from a parameterised text, kept for reuse.
struct PreparedStatement {
  Handle handle;
};
using PreparedStatementCache = StatementCache<PreparedStatement>;

// An open ODBC connection. Shared by the connection object and the result
// sets it opened, so that a result set outliving its connection stays valid.
struct Session {
  Session(Handle environment_handle, Dialect database)
      : environment(std::move(environment_handle)),
        connection(SQL_HANDLE_DBC, environment.get()),
        dialect(database) {}
  // The prepared statements go before the connection that owns them.
  ~Session() {
    prepared.reset();
    if (connected) SQLDisconnect(connection.get());
  }

  Handle environment;
  Handle connection;
  Dialect dialect;
  bool connected = true;
  // Null when statements run directly only.
  std::unique_ptr<PreparedStatementCache> prepared;
  // The shapes of its recent statements; a session serves one thread at a time.
  mutable StatementParameteriser parameteriser;
};

// One statement, translated to the session's dialect. With the session's
// cache, a statement whose literals can be parameters runs as the prepared
// form of its skeleton, those values bound; any other runs directly.
class Statement {
 public:
  Statement(std::shared_ptr<const Session> session, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Rows the statement inserted, updated or deleted; 0 for a query, and
  // kUnknownRowCount when the database does not tell (Connection::Execute).
  int64_t AffectedRows() const;
  // Walks the further results of a batch, so that their errors are raised.
  void FinishResults();

  ColumnIndex Columns() const;
  // Moves to the next row; false at the end.
  bool Fetch();
  // Every column of the current row, read once.
  std::vector<Value> Row();

 private:
  // How a column is read, from its SQL type.
  enum class Kind { kInteger, kReal, kDecimal, kText };

  // Name and SQL type of a result column.
  std::string Describe(SQLUSMALLINT column, SQLSMALLINT* data_type);
  Value Read(SQLUSMALLINT column, Kind kind);
  // The column as text (a `number`'s, read narrow); nullopt for NULL.
  std::optional<std::string> ReadText(SQLUSMALLINT column, bool number);
  // The column's data in units of `Unit`, read piece by piece.
  template <typename Unit>
  std::optional<std::vector<Unit>> ReadPieces(SQLUSMALLINT column, SQLSMALLINT c_type);
  // Runs `statement` prepared, from the cache when there; false, with
  // nothing run, when it cannot run that way.
  bool RunPrepared(ParameterisedStatement& statement);
  // Raises the failure of the prepared statement's execution.
  [[noreturn]] void RaiseExecuteFailure() const;
  // Returns a statement taken from the cache, closed and unbound.
  void GiveBack();
  // Binds every value for the next execution; false when one cannot be.
  bool BindParameters();
  void DescribeColumns();
  const Handle& handle() const { return entry_ ? entry_->handle : *owned_; }
  SQLHSTMT get() const { return handle().get(); }
  odbc::Encoding Encoding() const { return EncodingFor(session_->dialect); }
  void Check(SQLRETURN rc) const { odbc::Check(rc, handle(), session_->dialect); }

  std::shared_ptr<const Session> session_;
  std::optional<Handle> owned_;  // the handle when not taken from the cache
  PreparedStatementCache::Entry* entry_ = nullptr;
  // The bound values and their lengths, read by the driver as it executes.
  std::vector<StatementParameter> parameters_;
  std::vector<WideText> wide_texts_;
  std::vector<SQLLEN> lengths_;
  std::vector<std::string> names_;
  std::vector<Kind> kinds_;
};

// A result set on `sql`: forward-only reads rows from the driver as it
// moves; static holds them all and releases the statement at once.
std::unique_ptr<Recordset> OpenRecordset(std::shared_ptr<const Session> session,
                                         std::string_view sql, Cursor cursor);

}  // namespace vornexa::odbc

#endif  // VORNEXA_DATA_ODBC_STATEMENT_H_
