#include "vornexa/data/sqlite_failure.h"

#include <sqlite3.h>

#include <cerrno>

#include "vornexa/base/error.h"

namespace vornexa {

std::string SqliteFailureDescription(int code, int system_errno, std::string_view message) {
  const int primary = code & 0xFF;
  std::string cause;
  if (primary == SQLITE_FULL || (primary == SQLITE_IOERR && system_errno == ENOSPC)) {
    cause = "No queda espacio en el disco de la base de datos";
  } else if (primary == SQLITE_READONLY) {
    cause = "La base de datos solo se puede leer: su archivo, su carpeta o el medio que la "
            "guarda no admiten escritura";
  }
  if (cause.empty()) return std::string(message);
  return cause + " (" + std::string(message) + ")";
}

std::string SqliteBusyDescription(std::string_view path, bool exclusive, int waited_ms,
                                  std::string_view message) {
  const std::string lock = exclusive ? "la tiene bloqueada en exclusiva (ni siquiera se puede leer)"
                                     : "está escribiendo en ella (tiene el bloqueo de escritura)";
  const std::string waited = std::to_string(waited_ms / 1000) + "," +
                             std::to_string(waited_ms % 1000 / 100) + " s";
  return "La base de datos '" + std::string(path) + "' está en uso: otra conexión " + lock + " y no la soltó en " + waited +
         "; vuelva a intentarlo cuando termine (" + std::string(message) + ")";
}

void RaiseSqliteError(sqlite3* db, int code) {
  const int32_t number = (code & 0xFF) == SQLITE_CONSTRAINT ? error_number::kConstraintViolation
                                                            : error_number::kStatementRejected;
  const char* message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  const int system_errno = db ? sqlite3_system_errno(db) : 0;
  throw Error(number, std::string(kDataSource),
              SqliteFailureDescription(code, system_errno, message), "", code);
}

}  // namespace vornexa
