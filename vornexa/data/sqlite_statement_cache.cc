#include "vornexa/data/sqlite_statement_cache.h"

namespace vornexa {

SqliteStatementCache::~SqliteStatementCache() {
  for (Entry& entry : entries_) sqlite3_finalize(entry.statement);
}

SqliteStatementCache::Entry* SqliteStatementCache::Take(std::string_view key) {
  const auto found = by_key_.find(key);
  if (found == by_key_.end() || found->second->in_use) return nullptr;
  entries_.splice(entries_.begin(), entries_, found->second);
  Entry& entry = entries_.front();
  entry.in_use = true;
  return &entry;
}

SqliteStatementCache::Entry* SqliteStatementCache::Keep(std::string key, sqlite3_stmt* statement) {
  if (by_key_.count(key) != 0) return nullptr;
  entries_.push_front({std::move(key), statement, true, {}, std::nullopt, 0});
  by_key_.emplace(entries_.front().key, entries_.begin());
  Trim();
  return &entries_.front();
}

void SqliteStatementCache::Release(Entry* entry) {
  entry->in_use = false;
  if (entries_.size() > capacity_) Trim();
}

void SqliteStatementCache::Trim() {
  for (auto it = entries_.end(); entries_.size() > capacity_ && it != entries_.begin();) {
    --it;
    if (it->in_use) continue;
    sqlite3_finalize(it->statement);
    by_key_.erase(it->key);
    it = entries_.erase(it);
  }
}

}  // namespace vornexa
