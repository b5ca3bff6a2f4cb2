// Compiled statements of one connection, kept for reuse under their
// parameterised text: least recently used out beyond a fixed number. A
// statement in use stays in the cache, marked so that no second caller gets
// it: a result set left open never shares its statement with another call.
//
// `Compiled` is what a driver keeps per statement; it owns its handle and
// releases it when destroyed, and is movable.
#ifndef VORNEXA_DATA_STATEMENT_CACHE_H_
#define VORNEXA_DATA_STATEMENT_CACHE_H_

#include <cstddef>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace vornexa {

// The capacity a driver's cache gets for `requested`: 0 (no cache) when the
// environment variable VORNEXA_STATEMENT_CACHE is 0, `requested` when it is
// 1, empty or unset. Raises -2146824579 for any other setting.
size_t StatementCacheCapacity(size_t requested);

template <typename Compiled>
class StatementCache {
 public:
  struct Entry : Compiled {
    Entry(std::string cache_key, Compiled&& compiled)
        : Compiled(std::move(compiled)), key(std::move(cache_key)) {}
    std::string key;
    bool in_use = true;
  };

  explicit StatementCache(size_t capacity) : capacity_(capacity) {}
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;

  // The idle entry of `key`, now in use; null if there is none or it is in use.
  Entry* Take(std::string_view key) {
    const auto found = by_key_.find(key);
    if (found == by_key_.end() || found->second->in_use) return nullptr;
    entries_.splice(entries_.begin(), entries_, found->second);
    Entry& entry = entries_.front();
    entry.in_use = true;
    return &entry;
  }

  // Keeps `compiled`, made from `key`, as an entry in use. Null, and
  // `compiled` left to the caller, when `key` is there already.
  Entry* Keep(std::string key, Compiled&& compiled) {
    if (by_key_.count(key) != 0) return nullptr;
    entries_.emplace_front(std::move(key), std::move(compiled));
    by_key_.emplace(entries_.front().key, entries_.begin());
    Trim();
    return &entries_.front();
  }

  // Makes an entry idle again once its user is done with it.
  void Release(Entry* entry) {
    entry->in_use = false;
    if (entries_.size() > capacity_) Trim();
  }

  size_t size() const { return entries_.size(); }

 private:
  // Drops idle entries, least recently used first, down to the capacity.
  void Trim() {
    for (auto it = entries_.end(); entries_.size() > capacity_ && it != entries_.begin();) {
      --it;
      if (it->in_use) continue;
      by_key_.erase(it->key);
      it = entries_.erase(it);
    }
  }

  size_t capacity_;
  std::list<Entry> entries_;  // most recently used first
  std::unordered_map<std::string_view, typename std::list<Entry>::iterator> by_key_;  // keys in entries_
};

}  // namespace vornexa

#endif  // VORNEXA_DATA_STATEMENT_CACHE_H_
