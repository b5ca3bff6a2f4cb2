// Compiled statements of one SQLite connection, kept for reuse: least
// recently used out beyond a fixed number. A statement in use is not in the
// cache; its user takes it out and gives it back reset, so that a result set
// left open never shares its statement with another call.
#ifndef VORNEXA_DATA_SQLITE_STATEMENT_CACHE_H_
#define VORNEXA_DATA_SQLITE_STATEMENT_CACHE_H_

#include <sqlite3.h>

#include <cstddef>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace vornexa {

class SqliteStatementCache {
 public:
  explicit SqliteStatementCache(size_t capacity) : capacity_(capacity) {}
  // Finalizes the idle statements.
  ~SqliteStatementCache();
  SqliteStatementCache(const SqliteStatementCache&) = delete;
  SqliteStatementCache& operator=(const SqliteStatementCache&) = delete;

  // The idle statement compiled from `key`, now the caller's; null if none.
  sqlite3_stmt* Take(std::string_view key);
  // Returns a statement taken or compiled from `key`, reset. A second copy
  // of the same key, or the least recently used beyond the capacity, is
  // finalized.
  void Give(std::string key, sqlite3_stmt* statement);

  size_t size() const { return entries_.size(); }

 private:
  using Entry = std::pair<std::string, sqlite3_stmt*>;

  size_t capacity_;
  std::list<Entry> entries_;  // most recently used first
  std::unordered_map<std::string_view, std::list<Entry>::iterator> by_key_;  // keys in entries_
};

}  // namespace vornexa

#endif  // VORNEXA_DATA_SQLITE_STATEMENT_CACHE_H_
