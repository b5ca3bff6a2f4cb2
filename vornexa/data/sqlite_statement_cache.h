// Compiled statements of one SQLite connection, kept for reuse: least
// recently used out beyond a fixed number. A statement in use stays in the
// cache, marked so that no second caller gets it: a result set left open
// never shares its statement with another call.
#ifndef VORNEXA_DATA_SQLITE_STATEMENT_CACHE_H_
#define VORNEXA_DATA_SQLITE_STATEMENT_CACHE_H_

#include <sqlite3.h>

#include <cstddef>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vornexa/data/column_index.h"
#include "vornexa/data/statement_parameters.h"

namespace vornexa {

class SqliteStatementCache {
 public:
  struct Entry {
    std::string key;
    sqlite3_stmt* statement;
    bool in_use;
    // The values bound to `statement` by its current user: bound without
    // a copy, so they live here until the next user binds its own.
    std::vector<StatementParameter> parameters;
    // The result's columns as of `columns_reprepares` recompilations: a
    // schema change recompiles the statement, maybe with other columns.
    std::optional<ColumnIndex> columns;
    int columns_reprepares = 0;
  };

  explicit SqliteStatementCache(size_t capacity) : capacity_(capacity) {}
  // Finalizes every statement: its users share ownership, so none is in use.
  ~SqliteStatementCache();
  SqliteStatementCache(const SqliteStatementCache&) = delete;
  SqliteStatementCache& operator=(const SqliteStatementCache&) = delete;

  // The idle entry of `key`, now in use; null if there is none or it is in use.
  Entry* Take(std::string_view key);
  // Keeps `statement`, compiled from `key`, as an entry in use. Null, and
  // nothing kept, when `key` is there already.
  Entry* Keep(std::string key, sqlite3_stmt* statement);
  // Makes an entry idle again once its statement is reset.
  void Release(Entry* entry);

  size_t size() const { return entries_.size(); }

 private:
  // Finalizes idle entries, least recently used first, down to the capacity.
  void Trim();

  size_t capacity_;
  std::list<Entry> entries_;  // most recently used first
  std::unordered_map<std::string_view, std::list<Entry>::iterator> by_key_;  // keys in entries_
};

}  // namespace vornexa

#endif  // VORNEXA_DATA_SQLITE_STATEMENT_CACHE_H_
