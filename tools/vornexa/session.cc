#include "tools/vornexa/session.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include <vornexa/vornexa.h>

#include "tools/vornexa/company_settings.h"
#include "tools/vornexa/errors.h"

namespace vornexa::cli {

namespace {

// An environment variable's value; none when unset or empty.
std::optional<std::string> Environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::string(value);
}

std::shared_ptr<Connection> WithTables(std::shared_ptr<Connection> connection) {
  CreateSchema(*connection);
  CreateCompanyTable(*connection);
  return connection;
}

}  // namespace

std::optional<std::string> OdbcConnectionString(const GlobalOptions& options) {
  if (options.odbc) return options.odbc;
  if (options.database) return std::nullopt;
  return Environment("VORNEXA_ODBC");
}

std::string DatabasePath(const GlobalOptions& options) {
  if (options.database) return *options.database;
  const std::optional<std::string> path = Environment("VORNEXA_DB");
  if (!path) return std::string(kDefaultDatabase);
  const std::string problem = DatabasePathProblem(*path);
  if (!problem.empty()) Fail("vornexa", "VORNEXA_DB vale '" + *path + "': " + problem);
  return *path;
}

std::string DatabasePathProblem(const std::string& path) {
  if (path.find_first_not_of(' ') == std::string::npos) return "falta el nombre del fichero";
  // The embedded driver reads these as a URI or a database in memory, which
  // would keep nothing; a file of such a name is reached as ./NAME.
  if (path.rfind("file:", 0) == 0 || path == ":memory:") {
    return "'" + path + "' no es la ruta de un fichero (un fichero con ese nombre se indica "
           "como ./" + path + ")";
  }
  return "";
}

std::optional<Dialect> DialectNamed(std::string_view name) {
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower == "sqlserver") return Dialect::SqlServer;
  if (lower == "postgresql") return Dialect::PostgreSql;
  if (lower == "sqlite") return Dialect::Sqlite;
  return std::nullopt;
}

Dialect OdbcDialect(const GlobalOptions& options) {
  if (options.dialect) return *options.dialect;
  const std::optional<std::string> name = Environment("VORNEXA_DIALECTO");
  if (!name) return Dialect::SqlServer;
  const std::optional<Dialect> dialect = DialectNamed(*name);
  if (!dialect) {
    Fail("vornexa", "VORNEXA_DIALECTO vale '" + *name + "', que no es un dialecto (" +
                        std::string(kDialectNames) + ")");
  }
  return *dialect;
}

std::shared_ptr<Connection> OpenDatabase(const GlobalOptions& options) {
  const std::optional<std::string> odbc = OdbcConnectionString(options);
  if (odbc) return WithTables(OpenOdbc(*odbc, OdbcDialect(options)));
  return OpenDatabase(DatabasePath(options));
}

std::shared_ptr<Connection> OpenDatabase(const std::string& path) {
  return WithTables(OpenSqlite(path));
}

Session Session::Open(const GlobalOptions& options) {
  std::shared_ptr<Connection> connection = OpenDatabase(options);
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

void CheckCodeText(std::string_view code, std::string_view source) {
  const std::string_view trimmed = TrimBlanks(code);
  const bool digits = !trimmed.empty() && trimmed.find_first_not_of("0123456789.") == trimmed.npos;
  if (!digits || std::count(trimmed.begin(), trimmed.end(), '.') > 1 || trimmed == ".") {
    Fail(source, "'" + std::string(code) + "' no es un código de cuenta: solo lleva dígitos y, "
                 "abreviado, un punto (43.5)");
  }
}

std::string Session::ExpandCode(const std::string& typed, std::string_view source) const {
  CheckCodeText(typed, source);
  const std::string trimmed(TrimBlanks(typed));
  if (trimmed.find('.') == std::string::npos) return trimmed;
  std::string code;
  try {
    code = NewAccount().CuentaDesarrollo(trimmed);
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
