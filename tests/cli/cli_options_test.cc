// What every command shares: the global options, the database they pick,
// one-line errors and usage messages.
#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

class CliOptionsTest : public CliTest {
 protected:
  std::string Server() const { return SqliteOdbc(Path("servidor.db")); }
  std::string CompanyName(Args args) {
    args.push_back("empresas");
    const JsonValue companies = Json(args);
    return companies.size() == 1 ? std::string(companies[0]["nombre"]) : "";
  }
};

TEST_F(CliOptionsTest, ErrorsAreOneLineOnStandardErrorAndAFailingExit) {
  Ok({"--ejercicio", "2025", "init"});
  const struct {
    Args args;
    Environment environment;
    int32_t number;
    std::string source, description;
  } cases[] = {
      {{"cuenta", "ver", "430"}, {{"VORNEXA_EMPRESA", "7"}}, 1000, "vornexa",
       "La empresa 7 no existe en esta base de datos; créela con 'vornexa init'"},
      // A bad variable is named in Spanish, not as an option never typed.
      {{"empresas"}, {{"VORNEXA_EMPRESA", "abc"}}, 13, "vornexa",
       "VORNEXA_EMPRESA debe ser un número entero: 'abc'"},
      {{"empresas"}, {{"VORNEXA_EMPRESA", "70000"}}, 6, "vornexa",
       "VORNEXA_EMPRESA está fuera de rango: 70000"},
      {{"empresas"}, {{"VORNEXA_ODBC", "x"}, {"VORNEXA_DIALECTO", "db2"}}, 1000, "vornexa",
       "VORNEXA_DIALECTO vale 'db2', que no es un dialecto (sqlserver, postgresql o sqlite)"},
      {{"empresas"}, {{"VORNEXA_DB", "file::memory:?cache=shared"}}, 1000, "vornexa",
       "VORNEXA_DB vale 'file::memory:?cache=shared': 'file::memory:?cache=shared' no es la "
       "ruta de un fichero (un fichero con ese nombre se indica como "
       "./file::memory:?cache=shared)"},
      {{"--json", "saldo", "periodo", "430", "--desde", "2025-02-30", "--hasta", "2025-12-31"},
       {}, 13, "vornexa saldo periodo",
       "--desde debe ser una fecha AAAA-MM-DD válida: '2025-02-30'"},
      {{"saldo", "periodo", "430", "--desde", "2025-01-01", "--hasta", "2025-12-31",
        "--importe", "mil"},
       {}, 13, "vornexa saldo periodo", "--importe debe ser un importe como 1234.56: 'mil'"},
  };
  for (const auto& c : cases) {
    environment_ = c.environment;
    ExpectError(c.args, c.number, c.source, c.description);
  }
  environment_.clear();
  // A database that cannot be opened is a data-access error, not a crash.
  const CliResult unusable = Run({"--db", "no/existe/aqui.db", "empresas"});
  EXPECT_EQ(unusable.exit_code, 1);
  EXPECT_EQ(unusable.err.rfind("error -2146824579 (Vornexa.Data): No se puede abrir la base de "
                               "datos 'no/existe/aqui.db'", 0), 0u) << unusable.err;
  EXPECT_EQ(std::count(unusable.err.begin(), unusable.err.end(), '\n'), 1);
}

TEST_F(CliOptionsTest, BadOptionsGetTheUsageMessageAndOpenNothing) {
  const std::string both = "--db y --odbc no van juntas: --db nombra un fichero SQLite y --odbc "
                           "una conexión ODBC; indique solo una";
  const struct {
    Args args;
    std::string message;
  } cases[] = {
      {{"--db", "local.db", "--odbc", Server(), "empresas"}, both},
      {{"empresas", "--odbc", Server(), "--db", "local.db"}, both},
      {{"--odbc", "", "empresas"}, "--odbc: falta la cadena de conexión"},
      {{"--odbc", Server(), "--dialecto", "oracle", "empresas"},
       "--dialecto: 'oracle' no es un dialecto (sqlserver, postgresql o sqlite)"},
      {{"--dialecto", "postgresql", "empresas"},
       "--dialecto: solo se aplica a una conexión ODBC (--odbc o VORNEXA_ODBC); un fichero de "
       "--db o VORNEXA_DB es siempre SQLite"},
      // --db is a file path: never empty, never a URI or a database in memory.
      {{"--db", "", "init"}, "--db: falta el nombre del fichero"},
      {{"--db=", "init"}, "--db: falta el nombre del fichero"},
      {{"--db", "file:local.db?mode=memory", "init"},
       "--db: 'file:local.db?mode=memory' no es la ruta de un fichero (un fichero con ese "
       "nombre se indica como ./file:local.db?mode=memory)"},
      {{"--db", ":memory:", "init"},
       "--db: ':memory:' no es la ruta de un fichero (un fichero con ese nombre se indica como "
       "./:memory:)"},
  };
  for (const auto& c : cases) {
    Expect(c.args, 105, "", c.message + "\nUse --help para más información.\n");
  }
  for (const Args& args : std::vector<Args>{{"cuenta", "ver"}, {"--no-such-option", "empresas"},
                                            {"--empresa", "70000", "empresas"}, {"cuenta"}, {}}) {
    const CliResult result = Run(args);
    EXPECT_NE(result.exit_code, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("--help"), std::string::npos) << result.err;
  }
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    EXPECT_EQ(entry.path().filename().string()[0], '.') << entry.path();
  }
}

TEST_F(CliOptionsTest, CommandLineBeatsEnvironmentAndOdbcBeatsFile) {
  Ok({"--odbc", Server(), "--dialecto", "SQLite", "init", "--nombre", "Servidor"});
  Ok({"--db", "local.db", "init", "--nombre", "Local"});
  Ok({"--db", "./file:x.db", "init", "--nombre", "Fichero raro"});
  Ok({"init", "--nombre", "Por defecto"});
  EXPECT_EQ(CompanyName({"--db", "./file:x.db"}), "Fichero raro");
  EXPECT_TRUE(std::filesystem::exists(Path("file:x.db")));
  environment_ = {{"VORNEXA_ODBC", Server()}, {"VORNEXA_DIALECTO", "sqlite"},
                  {"VORNEXA_DB", "local.db"}};
  EXPECT_EQ(CompanyName({}), "Servidor");
  EXPECT_EQ(CompanyName({"--db", "local.db"}), "Local");
  EXPECT_EQ(CompanyName({"--db", "vornexa.db"}), "Por defecto");
  EXPECT_EQ(CompanyName({"--dialecto", "sqlite"}), "Servidor");  // applies to the variable's
  environment_ = {{"VORNEXA_DB", "local.db"}};
  EXPECT_EQ(CompanyName({"--odbc", Server(), "--dialecto", "sqlite"}), "Servidor");
  EXPECT_EQ(CompanyName({}), "Local");
  // Without --dialecto, ODBC speaks SQL Server, which SQLite rejects.
  environment_.clear();
  const CliResult result = Run({"--odbc", Server(), "empresas"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err.rfind("error -2147217900 (Vornexa.Data): ", 0), 0u) << result.err;
  EXPECT_NE(result.err.find("\"IF\""), std::string::npos) << result.err;
}

}  // namespace
}  // namespace vornexa::cli::testing
