// Update-then-insert: how a row that may be missing is written. There is no
// portable "upsert" across the databases the library runs on, so the UPDATE
// doubles as the existence test.
#ifndef VORNEXA_CONTEXT_UPDATE_OR_INSERT_H_
#define VORNEXA_CONTEXT_UPDATE_OR_INSERT_H_

#include <functional>
#include <string_view>

#include "vornexa/data/connection.h"

namespace vornexa {

// Runs `update` on `connection`, asking how many rows it changed. Only when
// it changed none does `insert` run, to write the missing row (it builds its
// statement itself, so the values it needs are read only then); a count the
// database does not tell (kUnknownRowCount) means the row is there, so that
// no row is written twice. Returns whether `insert`
// ran. Not atomic by itself: callers that need the pair to be all-or-nothing
// run it inside an AtomicScope.
bool UpdateOrInsert(Connection& connection, std::string_view update,
                    const std::function<void()>& insert);

// The same on the thread's shared connection; 91 when there is none.
bool UpdateOrInsert(std::string_view update, const std::function<void()>& insert);

}  // namespace vornexa

#endif  // VORNEXA_CONTEXT_UPDATE_OR_INSERT_H_
