#include "tools/vornexa/database_options.h"

namespace vornexa::cli {

namespace {

void CheckDatabaseOptions(const GlobalOptions& options) {
  if (options.odbc && options.database) {
    throw CLI::ValidationError(
        "--db y --odbc no van juntas: --db nombra un fichero SQLite y --odbc una conexión "
        "ODBC; indique solo una");
  }
  if (options.odbc && options.odbc->empty()) {
    throw CLI::ValidationError("--odbc", "falta la cadena de conexión");
  }
  if (options.dialect && !OdbcConnectionString(options)) {
    throw CLI::ValidationError(
        "--dialecto", "solo se aplica a una conexión ODBC (--odbc o VORNEXA_ODBC); un fichero "
                      "de --db o VORNEXA_DB es siempre SQLite");
  }
}

}  // namespace

void AddDatabaseOptions(CLI::App& app, GlobalOptions& options) {
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
  app.parse_complete_callback([&options] { CheckDatabaseOptions(options); });
}

}  // namespace vornexa::cli
