// The openers of a driver left out of this build (VORNEXA_WITH_ODBC or
// VORNEXA_WITH_SQLITE off): the calls still exist, and say why they cannot
// connect, so that a caller built against either build links and fails
// clearly at run time.
#include <memory>
#include <string>

#include "vornexa/base/error.h"
#include "vornexa/data/connection.h"
#include "vornexa/data/odbc_connection.h"

namespace vornexa {
namespace {

[[maybe_unused]] [[noreturn]] void ThrowDriverAbsent(const char* driver) {
  throw Error(error_number::kConnectionUnusable, std::string(kDataSource),
              std::string("Esta compilación de Vornexa no incluye el controlador ") + driver);
}

}  // namespace

#ifndef VORNEXA_WITH_ODBC
std::shared_ptr<Connection> OpenOdbc(const std::string&, Dialect, const OdbcOptions&) {
  ThrowDriverAbsent("ODBC");
}
#endif

#ifndef VORNEXA_WITH_SQLITE
std::shared_ptr<Connection> OpenSqlite(const std::string&, const SqliteOptions&) {
  ThrowDriverAbsent("SQLite");
}
std::shared_ptr<Connection> OpenSqlite(const std::string&) { ThrowDriverAbsent("SQLite"); }
#endif

}  // namespace vornexa
