#include "vornexa/data/sqlite_statement_cache.h"

namespace vornexa {

SqliteStatementCache::~SqliteStatementCache() {
  for (Entry& entry : entries_) sqlite3_finalize(entry.second);
}

sqlite3_stmt* SqliteStatementCache::Take(std::string_view key) {
  const auto found = by_key_.find(key);
  if (found == by_key_.end()) return nullptr;
  sqlite3_stmt* statement = found->second->second;
  const auto entry = found->second;
  by_key_.erase(found);
  entries_.erase(entry);
  return statement;
}

void SqliteStatementCache::Give(std::string key, sqlite3_stmt* statement) {
  if (capacity_ == 0 || by_key_.count(key) != 0) {
    sqlite3_finalize(statement);
    return;
  }
  entries_.emplace_front(std::move(key), statement);
  by_key_.emplace(entries_.front().first, entries_.begin());
  if (entries_.size() > capacity_) {
    by_key_.erase(entries_.back().first);
    sqlite3_finalize(entries_.back().second);
    entries_.pop_back();
  }
}

}  // namespace vornexa
