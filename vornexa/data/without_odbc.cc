// OpenOdbc in a build without the ODBC driver (VORNEXA_WITH_ODBC off): the
// call still exists, and says why it cannot connect.
#ifndef VORNEXA_WITH_ODBC

#include "vornexa/data/odbc_connection.h"
#include "vornexa/base/error.h"

namespace vornexa {

std::shared_ptr<Connection> OpenOdbc(const std::string&, Dialect, const OdbcOptions&) {
  throw Error(error_number::kConnectionUnusable, std::string(kDataSource),
              "Esta compilación de Vornexa no incluye el controlador ODBC");
}

}  // namespace vornexa

#endif  // VORNEXA_WITH_ODBC
