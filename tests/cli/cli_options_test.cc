// What every command shares: the global options, the database they pick
// (a file, or through ODBC SQLite and a server), exit codes, one-line errors
// and usage messages, help in Spanish; and that a refused command writes
// nothing, to the database or beside it.
#include <regex>

#include "tests/cli/cli_runner.h"

#include <cstdint>

#include "tools/vornexa/output.h"

namespace vornexa::cli::testing {
namespace {

// A refused command line: the message, then the help of the command that has
// the option it names, or of the one being written.
std::string Usage(const std::string& message, const std::string& command = "vornexa") {
  return message + "\nAyuda: " + command + " --help\n";
}
std::string Refused(const std::string& source, const std::string& description) {
  return ErrorLine(1000, source, description);
}

struct Refusal {
  Args args;
  int exit_code;
  std::string err;
  Environment environment = {};
  std::string input = "";  // standard input
};

std::vector<Refusal> Refusals(const std::string& server) {
  const std::string not_a_file = " no es la ruta de un fichero (un fichero con ese nombre se "
                                 "indica como ./";
  const std::string unreadable =
      "El campo Direccion de la cuenta 4300, guardado por otro programa, no es texto válido "
      "(UTF-8 sin caracteres nulos) y no se puede volver a guardar: dele un valor nuevo "
      "(--direccion en cuenta guardar, o la columna Direccion al importar)";
  std::vector<Refusal> refusals = {
      {{"--db", "local.db", "--odbc", server, "empresas"}, 105,
       Usage("--db y --odbc no van juntas: --db nombra un fichero SQLite y --odbc una conexión "
             "ODBC; indique solo una")},
      {{"--dialecto", "postgresql", "empresas"}, 105,
       Usage("--dialecto: solo se aplica a una conexión ODBC (--odbc o VORNEXA_ODBC); un fichero "
             "de --db o VORNEXA_DB es siempre SQLite")},
      {{"--odbc", "", "empresas"}, 105, Usage("--odbc: falta la cadena de conexión")},
      {{"--odbc", server, "--dialecto", "oracle", "empresas"}, 105,
       Usage("--dialecto: 'oracle' no es un dialecto (sqlserver, postgresql o sqlite)")},
      // --db is a file path: never empty, never a URI or a database in memory.
      {{"--db=", "init"}, 105, Usage("--db: falta el nombre del fichero")},
      {{"--db", "file:a.db?mode=memory", "init"}, 105,
       Usage("--db: 'file:a.db?mode=memory'" + not_a_file + "file:a.db?mode=memory)")},
      // A bad variable is named as such, not as an option never typed.
      {{"cuenta", "ver", "430"}, 1,
       Refused("vornexa", "La empresa 7 no existe en esta base de datos; créela con 'vornexa "
                          "init'"), {{"VORNEXA_EMPRESA", "7"}}},
      {{"empresas"}, 1, ErrorLine(13, "vornexa", "VORNEXA_EMPRESA debe ser un número entero: "
                                                 "'abc'"), {{"VORNEXA_EMPRESA", "abc"}}},
      {{"empresas"}, 1,
       Refused("vornexa", "VORNEXA_DIALECTO vale 'db2', que no es un dialecto (sqlserver, "
                          "postgresql o sqlite)"),
       {{"VORNEXA_ODBC", "x"}, {"VORNEXA_DIALECTO", "db2"}}},
      {{"empresas"}, 1,
       Refused("vornexa", "VORNEXA_DB vale 'file::memory:': 'file::memory:'" + not_a_file +
                          "file::memory:)"), {{"VORNEXA_DB", "file::memory:"}}},
      {{"--db", "no/existe/aqui.db", "empresas"}, 1,
       ErrorLine(-2146824579, "Vornexa.Data", "No se puede abrir la base de datos "
                 "'no/existe/aqui.db': unable to open database file")},
      {{"--ejercicio", "2030", "cuenta", "primera"}, 1,
       Refused("vornexa", "La empresa 1 no tiene el ejercicio 2030 (sus ejercicios: 2025)")},
      // The library's date range: refused by the tool, not later by the library.
      {{"--json", "saldo", "periodo", "430", "--desde", "0050-01-01", "--hasta", "2025-12-31"}, 1,
       ErrorLine(13, "vornexa saldo periodo", "--desde debe ser una fecha AAAA-MM-DD válida (años "
                                              "100 a 9999): '0050-01-01'")},
      {{"cuenta", "guardar", "43.1", "--grupo", "40000"}, 1,
       ErrorLine(6, "vornexa cuenta guardar", "El campo Grupo está fuera de rango: 40000")},
      {{"cuenta", "ver", "4300.00000001"}, 1,
       ErrorLine(5, "vornexa cuenta ver", "El código abreviado '4300.00000001' tiene más dígitos "
                                          "que una cuenta de detalle (8)")},
      // Showing or deleting what is not there is a failure, not a confirmation.
      {{"cuenta", "eliminar", "43.5"}, 1,
       Refused("vornexa cuenta eliminar", "La cuenta 43000005 no existe en el ejercicio 2025 de la "
                                          "empresa 1")},
      {{"grupo", "eliminar", "3"}, 1,
       Refused("vornexa grupo eliminar", "El grupo 3 no existe en la empresa 1")},
      {{"importar", "-"}, 1, Refused("vornexa importar", "La cabecera nombra un campo que no "
                                     "existe: 'Color' (los campos son los de la cuenta: Cuenta, "
                                     "Nombre, Nif...)"), {}, "Cuenta,Color\n43.3,x\n"},
      {{"importar", "-"}, 1,
       Refused("vornexa importar", "El fichero está vacío: falta la cabecera")},
      {{"importar", "no-existe.csv"}, 1, Refused("vornexa importar", "No se puede leer el fichero "
                                                 "'no-existe.csv' (No such file or directory)")},
      // Each in one Spanish line naming the file or value and what to do.
      {{"importar", "."}, 1,
       Refused("vornexa importar", "'.' es una carpeta: indique el fichero CSV que importar")},
      {{"--db", "nota.txt", "empresas"}, 1,
       ErrorLine(-2146824579, "Vornexa.Data", "No se puede abrir la base de datos 'nota.txt': el "
                 "fichero no es una base de datos SQLite, o está dañado; indique el fichero de la "
                 "base de datos (file is not a database)")},
      {{"--db", "/dev/null", "empresas"}, 1,
       ErrorLine(-2146824579, "Vornexa.Data", "No se puede abrir la base de datos '/dev/null': no "
                 "es un fichero sino un dispositivo o una tubería; indique el fichero de la base "
                 "de datos")},
      {{"--db", " ", "init"}, 105, Usage("--db: falta el nombre del fichero")},
      {{"--empresa=", "empresas"}, 105, Usage("--empresa: falta el valor, un número")},
      {{"--ejercicio=", "empresas"}, 105, Usage("--ejercicio: falta el valor, un número")},
      // Text another program stored that no save can write back.
      {{"cuenta", "guardar", "4300", "--nombre", "X"}, 1,
       Refused("vornexa cuenta guardar", unreadable)},
      // Each kind of misuse the argument parser finds, said in Spanish.
      {{"grupo"}, 106, Usage("Falta la orden de «vornexa grupo»; elija una: crear, ver, renombrar, "
                             "eliminar, listar", "vornexa grupo")},
      {{"grupo", "borrar", "3"}, 106,
       Usage("'borrar' no es una orden de «vornexa grupo»; elija una: crear, ver, renombrar, "
             "eliminar, listar", "vornexa grupo")},
      {{"cuenta", "ver"}, 106, Usage("Falta el argumento codigo", "vornexa cuenta ver")},
      {{"cuenta", "ver", "430", "--color", "x"}, 109,
       Usage("No se esperaban los argumentos --color x", "vornexa cuenta ver")},
      {{"saldo", "periodo", "430", "--hasta", "2025-12-31"}, 106,
       Usage("Falta la opción --desde", "vornexa saldo periodo")},
      {{"cuenta", "listar", "--nivel"}, 114,
       Usage("Falta el valor de --nivel", "vornexa cuenta listar")},
      {{"--empresa", "70000", "empresas"}, 104,
       Usage("Valor no válido para --empresa: '70000' (se espera un número entero)")},
      {{"--json=sí", "empresas"}, 104, Usage("Valor no válido para --json: 'sí'")},
      {{"init", "--multiejercicio", "--sin-multiejercicio"}, 108,
       Usage("--multiejercicio no va junto con --sin-multiejercicio", "vornexa init")},
      {{"init", "--pgc", "completo"}, 105,
       Usage("--pgc: 'completo' no es un plan de cuentas (normal o pymes)", "vornexa init")},
      {{"--odbc", server, "--dialecto", "sqlite", "demo"}, 1,
       Refused("vornexa demo", "La demostración trabaja solo con un fichero SQLite propio "
                               "(vornexa-demo.db o el de --db), que vacía antes de empezar; no "
                               "usa una conexión --odbc")},
  };
  // Settings that cannot work; the company is not created.
  for (const auto& [settings, description] : std::vector<std::pair<Args, std::string>>{
           {{"--digitos", "1,3,2"},
            "Los dígitos por nivel deben crecer de un nivel al siguiente, entre 1 y 20"},
           {{"--ejercicios", "2024"},
            "El ejercicio activo 2025 no está en la lista de ejercicios: 2024"},
           {{"--digitos", "2,4,6", "--pgc"}, "El Plan General de Contabilidad necesita niveles de "
                                             "1, 2, 3 y 4 dígitos (--digitos 1,2,3,4,...)"},
           {{"--nombre", Repeat("ñ", 101)},
            "El nombre de la empresa tiene 101 caracteres; caben 100"}}) {
    Args args = {"--empresa", "2", "--ejercicio", "2025", "init"};
    args.insert(args.end(), settings.begin(), settings.end());
    refusals.push_back({args, 1, Refused("vornexa init", description)});
  }
  // A code is digits, with one point in a short form: anything else is
  // refused wherever a code is typed, before the database is asked.
  const Args commands = {"cuenta guardar", "cuenta eliminar", "saldo actual", "cuenta desarrollar"};
  for (int next = 0;
       const std::string code : {"4'3.1", "4 3", "%", "43\xF0\x9F\x98\x80", "43..1", "", "."}) {
    const std::string& command = commands[next++ % 4];
    const size_t blank = command.find(' ');
    refusals.push_back({{command.substr(0, blank), command.substr(blank + 1), code}, 1,
                        Refused("vornexa " + command, "'" + code + "' no es un código de cuenta: "
                                "solo lleva dígitos y, abreviado, un punto (43.5)")});
  }
  return refusals;
}

class CliOptionsTest : public SeededCliTest {
 protected:
  std::string Server() const { return "Driver=SQLite3;Database=" + Path("servidor.db") + ";"; }
  std::string CompanyName(Args args) {  // of the one company of the database `args` pick
    args.push_back("empresas");
    return Json(args).at(0)["nombre"];
  }
  // Every file of the test's folder, and what the database holds.
  std::string State() {
    std::string state;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) state += entry.path();
    return state + Ok({"exportar"}) + Ok({"empresas"}) + Ok({"grupo", "listar"});
  }
};

TEST_F(CliOptionsTest, RefusalsExitFailingWithTheirMessageAndWriteNothing) {
  WriteFile("nota.txt", "Esto no es una base de datos.\n");
  Open()->Execute("UPDATE Cuentas SET Direccion = CAST(X'C3' AS TEXT) WHERE Cuenta = '4300'");
  const std::string before = State();
  for (const Refusal& refusal : Refusals(Server())) {
    environment_ = refusal.environment;
    Expect(refusal.args, refusal.exit_code, "", refusal.err, refusal.input);
  }
  environment_.clear();
  EXPECT_EQ(State(), before);
}

TEST_F(CliOptionsTest, HelpOfEveryCommandIsInSpanish) {
  // Words of the argument parser's own English.
  const std::regex english("\\b(Usage|OPTIONS|SUBCOMMANDS?|Options|Positionals|Subcommands|TEXT|"
                           "INT|REQUIRED|required|Env|Needs|Excludes|true|false)\\b");
  const std::regex listed("\n  ([a-z]+) ");  // a command under "Órdenes:", the last list
  std::vector<Args> commands = {{"--help"}};
  for (size_t next = 0; next < commands.size(); ++next) {
    const std::string help = Ok(commands[next]);
    EXPECT_FALSE(std::regex_search(help, english)) << help;
    const std::string under = help.substr(std::min(help.find("\nÓrdenes:"), help.size()));
    for (std::sregex_iterator it(under.begin(), under.end(), listed), end; it != end; ++it) {
      commands.push_back(commands[next]);
      commands.back().insert(commands.back().end() - 1, (*it)[1].str());
    }
  }
  EXPECT_GT(commands.size(), 30u);  // the walk reached every level
}

TEST_F(CliOptionsTest, CommandLineBeatsEnvironmentAndOdbcBeatsFile) {
#ifndef VORNEXA_WITH_ODBC
  // A build without the driver says so rather than falling back to a file.
  for (const Environment& environment : {Environment{}, Environment{{"VORNEXA_ODBC", Server()}}}) {
    environment_ = environment;
    Expect(environment.empty() ? Args{"--odbc", Server(), "empresas"} : Args{"empresas"}, 1, "",
           ErrorLine(-2146824579, "Vornexa.Data",
                     "Esta compilación de Vornexa no incluye el controlador ODBC"));
  }
  return;
#endif
  Ok({"--odbc", Server(), "--dialecto", "SQLite", "init", "--nombre", "Servidor"});
  Ok({"--db", "local.db", "init", "--nombre", "Local"});
  environment_ = {{"VORNEXA_ODBC", Server()}, {"VORNEXA_DIALECTO", "sqlite"},
                  {"VORNEXA_DB", "local.db"}};
  EXPECT_EQ(CompanyName({}), "Servidor");
  EXPECT_EQ(CompanyName({"--db", "local.db"}), "Local");
  EXPECT_EQ(CompanyName({"--dialecto", "sqlite"}), "Servidor");  // applies to the variable's
  environment_ = {{"VORNEXA_DB", "local.db"}};
  EXPECT_EQ(CompanyName({"--odbc", Server(), "--dialecto", "sqlite"}), "Servidor");
  EXPECT_EQ(CompanyName({}), "Local");
  // Without --dialecto, ODBC speaks SQL Server, which SQLite rejects.
  environment_.clear();
  Expect({"--odbc", Server(), "empresas"}, 1, "",
         ErrorLine(-2147217900, "Vornexa.Data", "[SQLite]near \"IF\": syntax error (1)"));
}

// Tables show amounts the Spanish way, rounded half away from zero to cents.
TEST(AmountText, IsSpanishAndRoundedToCents) {
  const std::pair<int64_t, const char*> cases[] = {
      {-12345650, "-1.234,57"}, {12345649, "1.234,56"}, {49, "0,00"}, {-49, "0,00"},
      {-50, "-0,01"},           {99999950, "10.000,00"}, {INT64_MIN, "-922.337.203.685.477,58"}};
  for (const auto& [ten_thousandths, text] : cases) {
    EXPECT_EQ(FormatAmount(Currency{ten_thousandths}), text) << ten_thousandths;
  }
}

}  // namespace
}  // namespace vornexa::cli::testing
