#include "tools/vornexa/session.h"

#include <cstdlib>

#include "tools/vornexa/company_settings.h"
#include "tools/vornexa/errors.h"
#include "vornexa/frame/text.h"
#include "vornexa/schema/schema.h"

namespace vornexa::cli {

std::string DatabasePath(const GlobalOptions& options) {
  if (options.database) return *options.database;
  const char* environment = std::getenv("VORNEXA_DB");
  return environment != nullptr && *environment != '\0' ? environment
                                                          : std::string(kDefaultDatabase);
}

std::shared_ptr<Connection> OpenDatabase(const std::string& path) {
  std::shared_ptr<Connection> connection = OpenSqlite(path);
  CreateSchema(*connection);
  CreateCompanyTable(*connection);
  return connection;
}

Session Session::Open(const GlobalOptions& options) {
  std::shared_ptr<Connection> connection = OpenDatabase(DatabasePath(options));
  std::shared_ptr<StoredCompany> company = StoredCompany::Load(*connection, options.company);
  if (options.exercise) company->UseExercise(*options.exercise);
  clsCuenta().Conexion(connection);
  return Session(std::move(connection), std::move(company), options.json);
}

clsCuenta Session::NewAccount() const {
  clsCuenta account;
  account.cEmpresa(company_);
  return account;
}

clsCuenta Session::Account(const std::string& typed, std::string_view source) const {
  clsCuenta account = NewAccount();
  account.Cuenta = ExpandCode(typed, source);
  return account;
}

std::string Session::ExpandCode(const std::string& typed, std::string_view source) const {
  if (typed.find('.') == std::string::npos) return std::string(TrimBlanks(typed));
  std::string code;
  try {
    code = NewAccount().CuentaDesarrollo(typed);
  } catch (const Error& error) {
    throw Error(error.Number(), std::string(source),
                "El código abreviado '" + typed + "' tiene más dígitos que una cuenta de " +
                    "detalle (" + std::to_string(company_->DigitosCuenta()) + ")");
  }
  // A short form exactly as long as a detail account comes back unchanged.
  if (code.empty() || code.find('.') != std::string::npos) {
    Fail(source, "No se puede desarrollar el código abreviado '" + typed + "'");
  }
  return code;
}

}  // namespace vornexa::cli
