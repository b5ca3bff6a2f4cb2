// How the embedded driver describes SQLite's failures. The description is
// SQLite's own message; for the two failures that SQLite words after their
// symptom rather than their cause (a full disk reported as "disk I/O error",
// a write refused on read-only media), a Spanish sentence naming the cause
// comes first and SQLite's message follows in brackets.
#ifndef VORNEXA_DATA_SQLITE_FAILURE_H_
#define VORNEXA_DATA_SQLITE_FAILURE_H_

#include <string>
#include <string_view>

struct sqlite3;

namespace vornexa {

// `code` is SQLite's extended result code, `system_errno` the operating
// system's error behind it (sqlite3_system_errno), `message` SQLite's text.
std::string SqliteFailureDescription(int code, int system_errno, std::string_view message);

// A lock another connection held on the database at `path` longer than
// `waited_ms`: `exclusive` when it kept readers out too, otherwise a
// writer's. `message` is SQLite's.
std::string SqliteBusyDescription(std::string_view path, bool exclusive, int waited_ms,
                                  std::string_view message);

// Raises a failure of `db` (or of opening, when `db` is null) as an Error:
// -2147217873 for a constraint, -2147217900 for anything else; SQLite's
// extended code is the error's native code.
[[noreturn]] void RaiseSqliteError(sqlite3* db, int code);

}  // namespace vornexa

#endif  // VORNEXA_DATA_SQLITE_FAILURE_H_
