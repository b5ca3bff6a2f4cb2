#include "tools/vornexa/global_options.h"

#include <cstdlib>

#include "tools/vornexa/parse.h"

namespace vornexa::cli {

namespace {

// An empty value (--empresa=) is refused, not read as 0 or as no option.
const CLI::Validator kNumberGiven(
    [](const std::string& value) { return value.empty() ? "falta el valor, un número" : ""; },
    "");

void CheckDatabaseOptions(const GlobalOptions& options) {
  if (options.odbc && options.database) {
    throw CLI::ValidationError(
        "--db y --odbc no van juntas: --db nombra un fichero SQLite y --odbc una conexión "
        "ODBC; indique solo una");
  }
  if (options.odbc && options.odbc->empty()) {
    throw CLI::ValidationError("--odbc", "falta la cadena de conexión");
  }
  if (options.database) {
    const std::string problem = DatabasePathProblem(*options.database);
    if (!problem.empty()) throw CLI::ValidationError("--db", problem);
  }
  if (options.dialect && !OdbcConnectionString(options)) {
    throw CLI::ValidationError(
        "--dialecto", "solo se aplica a una conexión ODBC (--odbc o VORNEXA_ODBC); un fichero "
                      "de --db o VORNEXA_DB es siempre SQLite");
  }
}

// The company of VORNEXA_EMPRESA when --empresa is not given. The library's
// parse reports a bad value in the user's language and names the variable.
void ReadCompanyFromEnvironment(GlobalOptions& options, const CLI::Option& company) {
  if (company.count()) return;
  const char* value = std::getenv("VORNEXA_EMPRESA");
  if (value == nullptr || *value == '\0') return;
  options.company = ParseInt16(value, "VORNEXA_EMPRESA", "vornexa");
}

}  // namespace

void AddGlobalOptions(CLI::App& app, GlobalOptions& options) {
  app.add_option("--db", options.database,
                 "Base de datos (fichero SQLite; se crea si no existe). Por defecto, la "
                 "variable de entorno VORNEXA_DB o vornexa.db")
      ->option_text("FICHERO");
  app.add_option("--odbc", options.odbc,
                 "Cadena de conexión ODBC de la base de datos en un servidor (SQL Server, "
                 "PostgreSQL), en lugar de un fichero. Por defecto, la variable de entorno "
                 "VORNEXA_ODBC, salvo con --db")
      ->option_text("CADENA");
  app.add_option_function<std::string>(
         "--dialecto",
         [&options](const std::string& name) {
           options.dialect = DialectNamed(name);
           if (!options.dialect) {
             throw CLI::ValidationError("--dialecto", "'" + name + "' no es un dialecto (" +
                                                          std::string(kDialectNames) + ")");
           }
         },
         "Base de datos tras --odbc: sqlserver, postgresql o sqlite. Por defecto, la "
         "variable de entorno VORNEXA_DIALECTO o sqlserver")
      ->option_text("NOMBRE");
  CLI::Option* company = app.add_option(
      "--empresa", options.company,
      "Código de la empresa. Por defecto, la variable de entorno VORNEXA_EMPRESA o 1")
      ->check(kNumberGiven);
  app.add_option("--ejercicio", options.exercise,
                 "Ejercicio activo: el que guarda init, o el de esta orden")
      ->check(kNumberGiven);
  app.add_flag("--json", options.json, "Resultados en JSON, para guiones");
  app.parse_complete_callback([&options, company] {
    CheckDatabaseOptions(options);
    ReadCompanyFromEnvironment(options, *company);
  });
}

std::vector<std::string> EmptyValuesExplicit(int argc, char** argv) {
  std::vector<std::string> args;
  bool options_end = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    options_end = options_end || arg == "--";
    const bool empty_value = !options_end && arg.size() > 3 && arg.compare(0, 2, "--") == 0 &&
                             arg.find('=') == arg.size() - 1;
    if (empty_value) {
      arg.pop_back();
      args.push_back(std::move(arg));
      args.emplace_back();
    } else {
      args.push_back(std::move(arg));
    }
  }
  return args;
}

}  // namespace vornexa::cli
