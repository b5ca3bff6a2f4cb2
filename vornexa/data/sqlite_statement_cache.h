// The embedded driver's cache of compiled statements.
#ifndef VORNEXA_DATA_SQLITE_STATEMENT_CACHE_H_
#define VORNEXA_DATA_SQLITE_STATEMENT_CACHE_H_

#include <sqlite3.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vornexa/data/column_index.h"
#include "vornexa/data/statement_cache.h"
#include "vornexa/data/statement_parameters.h"

namespace vornexa {

// A compiled statement and what its users keep beside it; finalized with it.
struct SqliteCachedStatement {
  explicit SqliteCachedStatement(sqlite3_stmt* compiled) : statement(compiled) {}
  SqliteCachedStatement(SqliteCachedStatement&& other) noexcept
      : statement(std::exchange(other.statement, nullptr)),
        parameters(std::move(other.parameters)),
        columns(std::move(other.columns)),
        columns_reprepares(other.columns_reprepares) {}
  SqliteCachedStatement& operator=(SqliteCachedStatement&&) = delete;
  ~SqliteCachedStatement() { sqlite3_finalize(statement); }

  sqlite3_stmt* statement;
  // The values bound to `statement` by its current user: bound without
  // a copy, so they live here until the next user binds its own.
  std::vector<StatementParameter> parameters;
  // The result's columns as of `columns_reprepares` recompilations: a
  // schema change recompiles the statement, maybe with other columns.
  std::optional<ColumnIndex> columns;
  int columns_reprepares = 0;
};

// Its users share ownership, so the cache goes last and no statement it
// finalizes is in use.
class SqliteStatementCache : public StatementCache<SqliteCachedStatement> {
 public:
  using StatementCache::StatementCache;

  // Keeps `statement`, compiled from `key`, as an entry in use. Null, and
  // `statement` left to the caller, when `key` is there already.
  Entry* Keep(std::string key, sqlite3_stmt* statement) {
    SqliteCachedStatement compiled(statement);
    Entry* entry = StatementCache::Keep(std::move(key), std::move(compiled));
    if (entry == nullptr) compiled.statement = nullptr;
    return entry;
  }
};

}  // namespace vornexa

#endif  // VORNEXA_DATA_SQLITE_STATEMENT_CACHE_H_
