// The tool on a database reached through ODBC (--odbc, --dialecto): SQLite
// through its ODBC driver, and the PostgreSQL server of VORNEXA_TEST_PG. Also
// the rules that pick the database from the options and the environment.
#include <filesystem>

#include "support/backends.h"
#include "tests/cli/cli_runner.h"
#include "vornexa/context/sql_statement.h"
#include "vornexa/data/odbc_connection.h"
#include "vornexa/schema/schema.h"
#include "vornexa/schema/tables.h"

namespace vornexa::cli::testing {
namespace {

// The server's database outlives a run and other suites write to it: this
// suite keeps to a company of its own and clears it first.
constexpr int16_t kCompany = 917;
constexpr std::string_view kCompanyText = "917";

std::string SqliteOdbc(const std::string& path) { return "Driver=SQLite3;Database=" + path + ";"; }

struct OdbcBackend {
  std::string name;
  std::string dialect;  // as --dialecto takes it
  Dialect library_dialect;
};

std::ostream& operator<<(std::ostream& out, const OdbcBackend& backend) {
  return out << backend.name;
}

class CliOdbcTest : public CliTest, public ::testing::WithParamInterface<OdbcBackend> {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    if (GetParam().library_dialect == Dialect::PostgreSql) {
      connection_string_ = vornexa::testing::PostgreSqlConnectionString();
      if (connection_string_.empty()) {
        const std::string why =
            "VORNEXA_TEST_PG is not set (run the tests under scripts/with-postgres)";
        if (vornexa::testing::AllBackendsRequired()) FAIL() << why;
        GTEST_SKIP() << why;
      }
    } else {
      connection_string_ = SqliteOdbc(Path("servidor.db"));
    }
    // The first run creates the tables the cleaning needs.
    Ok(Args({"empresas"}));
    db_ = OpenOdbc(connection_string_, GetParam().library_dialect);
    for (const TableDef& table : SchemaTables()) {
      if (table.name == table::kRazonSocial) continue;  // shared by every company
      db_->Execute("DELETE FROM " + std::string(table.name) +
                   " WHERE Cod_Empresa = " + std::string(kCompanyText));
    }
    db_->Execute("DELETE FROM Vornexa_Empresas WHERE Codigo = " + std::string(kCompanyText));
  }

  // The database options of this backend and the suite's company, then `command`.
  std::vector<std::string> Args(std::vector<std::string> command) const {
    std::vector<std::string> args = {"--odbc", connection_string_, "--dialecto",
                                     GetParam().dialect, "--empresa", std::string(kCompanyText)};
    args.insert(args.end(), command.begin(), command.end());
    return args;
  }

  // The suite's company as `empresas` lists it.
  JsonValue StoredCompany() {
    for (const JsonValue& company : Json(Args({"empresas"}))) {
      if (company["codigo"] == kCompany) return company;
    }
    return nullptr;
  }

  int64_t Scalar(const std::string& sql) const { return db_->Open(sql)->Field("v").ToInt64(); }

  std::string connection_string_;
  std::shared_ptr<Connection> db_;
};

TEST_P(CliOdbcTest, CompanyChartAccountsAndBalancesLiveInTheOdbcDatabase) {
  Ok(Args({"--ejercicio", "2025", "init", "--pgc", "--nombre", "Ñandú 日本, S.L."}));
  EXPECT_EQ(Scalar("SELECT COUNT(*) AS v FROM Cuentas WHERE Cod_Empresa = 917 AND "
                   "Cod_Ejercicio = 2025"),
            903);
  EXPECT_EQ(Scalar("SELECT COUNT(*) AS v FROM Acumulados WHERE Cod_Empresa = 917"), 903);
  EXPECT_FALSE(std::filesystem::exists(Path("vornexa.db"))) << "no embedded file on the side";

  // The company row is read back as written, and updated in place.
  Ok(Args({"init", "--ejercicios", "2024,2025"}));
  EXPECT_EQ(StoredCompany(), JsonValue::parse(R"({"codigo": 917, "nombre": "Ñandú 日本, S.L.",
      "ejercicio": 2025, "ejercicios": "2024,2025", "multiejercicio": false,
      "digitos_nivel": "1,2,3,4,8,0", "digitos_cuenta": 8})"));
  // The name column holds as many characters as the tool accepts.
  const std::string longest = Repeat("ñ", 100);
  Ok(Args({"init", "--nombre", longest}));
  EXPECT_EQ(StoredCompany()["nombre"], longest);

  const JsonValue account = Json(Args({"cuenta", "ver", "430"}));
  EXPECT_EQ(account["Cuenta"], "430");
  EXPECT_EQ(account["Nombre"], "Clientes");
  EXPECT_EQ(account["Nivel"], 3);
  // The chart's longest name (138 characters) is stored whole on a server too.
  EXPECT_EQ(Json(Args({"cuenta", "ver", "5993"}))["Nombre"],
            "Deterioro de valor de existencias, deudores comerciales y otras cuentas a cobrar "
            "integrados en un grupo enajenable mantenido para la venta");

  EXPECT_EQ(Ok(Args({"cuenta", "guardar", "43.1", "--nombre", "Cliente Uno"})),
            "Cuenta 43000001 creada en el ejercicio 2025 de la empresa 917.\n");
  EXPECT_EQ(Json(Args({"cuenta", "listar", "--desde", "43", "--hasta", "430"})),
            JsonValue::parse(R"json([
      {"Cuenta": "43", "Nivel": 2, "Nombre": "Clientes"},
      {"Cuenta": "430", "Nivel": 3, "Nombre": "Clientes"},
      {"Cuenta": "4300", "Nivel": 4, "Nombre": "Clientes (euros)"},
      {"Cuenta": "43000001", "Nivel": 5, "Nombre": "Cliente Uno"},
      {"Cuenta": "4304", "Nivel": 4, "Nombre": "Clientes (moneda extranjera)"},
      {"Cuenta": "4309", "Nivel": 4, "Nombre": "Clientes, facturas pendientes de formalizar"}])json"));

  // Balances: the accumulator row, and the posted journal lines of a period.
  ASSERT_EQ(db_->Execute("UPDATE Acumulados SET Apertura = 100, D3 = 250.5, H3 = 2040.25 WHERE "
                         "Cod_Empresa = 917 AND Cod_Ejercicio = 2025 AND Cuenta = '43000001'"),
            1);
  EXPECT_EQ(Json(Args({"saldo", "actual", "43.1"})), JsonValue::parse(R"([{"Cuenta": "43000001",
      "Nombre": "Cliente Uno", "ejercicio": 2025, "saldo": "-1689.7500"}])"));
  // The text view shows amounts the Spanish way.
  const std::string text = Ok(Args({"saldo", "actual", "43.1"}));
  EXPECT_NE(text.find("43000001  Cliente Uno"), std::string::npos) << text;
  EXPECT_NE(text.find(" -1.689,75\n"), std::string::npos) << text;
  // One entry per line; the annulled one and the one after the period are left out.
  const struct {
    Date date;
    int annulled;
    const char *debit, *credit;
  } lines[] = {{{2025, 3, 15}, 0, "121.1", "0"}, {{2025, 3, 15}, 0, "0", "21"},
               {{2025, 3, 31}, 0, "10", "0"},    {{2025, 3, 20}, 1, "1000", "0"},
               {{2025, 4, 1}, 0, "500", "0"}};
  for (int code = 1; code <= 5; ++code) {
    const auto& l = lines[code - 1];
    db_->Execute(SqlStatement("INSERT INTO Asientos (Cod_Empresa, Cod_Ejercicio, Codigo, Fecha, "
                              "Cierre, Nulo) VALUES (917, 2025, ")
                     .Number(code)
                     .Raw(", ")
                     .Date(l.date, db_->SqlDialect())
                     .Raw(", 0, ")
                     .Number(l.annulled)
                     .Raw(")")
                     .text());
    db_->Execute("INSERT INTO Movimientos (Cod_Empresa, Cod_Ejercicio, Cod_Asiento, Apunte, "
                 "Cuenta, Debe, Haber) VALUES (917, 2025, " + std::to_string(code) +
                 ", 1, '43000001', " + l.debit + ", " + l.credit + ")");
  }
  EXPECT_EQ(Json(Args({"saldo", "periodo", "43.1", "--desde", "2025-03-01", "--hasta",
                       "2025-03-31"})),
            JsonValue::parse(R"([{"Cuenta": "43000001", "Nombre": "Cliente Uno",
      "debe": "131.1000", "haber": "21.0000", "saldo": "110.1000"}])"));
}

INSTANTIATE_TEST_SUITE_P(Backends, CliOdbcTest,
                         ::testing::Values(OdbcBackend{"SqliteOdbc", "sqlite", Dialect::Sqlite},
                                           OdbcBackend{"PostgreSql", "postgresql",
                                                       Dialect::PostgreSql}),
                         [](const auto& info) { return info.param.name; });

// Which database a run opens, and the combinations refused.
class CliDatabaseOptionsTest : public CliTest {
 protected:
  std::string Server() const { return SqliteOdbc(Path("servidor.db")); }

  std::string CompanyName(const std::vector<std::string>& database_options) {
    std::vector<std::string> args = database_options;
    args.push_back("empresas");
    const JsonValue companies = Json(args);
    return companies.size() == 1 ? std::string(companies[0]["nombre"]) : "";
  }

  void ExpectUsageError(const std::vector<std::string>& args, const std::string& message) {
    const CliResult result = Run(args);
    EXPECT_EQ(result.exit_code, 105);  // CLI11's validation error
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, message + "\nUse --help para más información.\n");
  }
};

TEST_F(CliDatabaseOptionsTest, DbWithOdbcIsAUsageError) {
  const std::string both =
      "--db y --odbc no van juntas: --db nombra un fichero SQLite y --odbc una conexión ODBC; "
      "indique solo una";
  ExpectUsageError({"--db", "local.db", "--odbc", Server(), "empresas"}, both);
  ExpectUsageError({"empresas", "--odbc", Server(), "--db", "local.db"}, both);
  ExpectUsageError({"--odbc", "", "empresas"}, "--odbc: falta la cadena de conexión");
  ExpectUsageError({"--odbc", Server(), "--dialecto", "oracle", "empresas"},
                   "--dialecto: 'oracle' no es un dialecto (sqlserver, postgresql o sqlite)");
  ExpectUsageError({"--dialecto", "postgresql", "empresas"},
                   "--dialecto: solo se aplica a una conexión ODBC (--odbc o VORNEXA_ODBC); un "
                   "fichero de --db o VORNEXA_DB es siempre SQLite");
  // Nothing was opened, let alone created.
  EXPECT_FALSE(std::filesystem::exists(Path("local.db")));
  EXPECT_FALSE(std::filesystem::exists(Path("servidor.db")));
  EXPECT_FALSE(std::filesystem::exists(Path("vornexa.db")));
}

TEST_F(CliDatabaseOptionsTest, CommandLineBeatsEnvironmentAndOdbcBeatsFile) {
  Ok({"--odbc", Server(), "--dialecto", "SQLite", "init", "--nombre", "Servidor"});
  Ok({"--db", "local.db", "init", "--nombre", "Local"});
  Ok({"init", "--nombre", "Por defecto"});
  EXPECT_EQ(CompanyName({"--odbc", Server(), "--dialecto", "sqlite"}), "Servidor");

  environment_ = {{"VORNEXA_ODBC", Server()}, {"VORNEXA_DIALECTO", "sqlite"},
                  {"VORNEXA_DB", "local.db"}};
  EXPECT_EQ(CompanyName({}), "Servidor");
  EXPECT_EQ(CompanyName({"--db", "local.db"}), "Local");
  EXPECT_EQ(CompanyName({"--db", "vornexa.db"}), "Por defecto");
  // With a connection from the environment, --dialecto applies to it.
  EXPECT_EQ(CompanyName({"--dialecto", "sqlite"}), "Servidor");

  environment_ = {{"VORNEXA_DB", "local.db"}};
  EXPECT_EQ(CompanyName({"--odbc", Server(), "--dialecto", "sqlite"}), "Servidor");
  EXPECT_EQ(CompanyName({}), "Local");

  environment_ = {{"VORNEXA_ODBC", Server()}, {"VORNEXA_DIALECTO", "db2"}};
  const CliResult result = Run({"empresas"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, ErrorLine(1000, "vornexa",
                                  "VORNEXA_DIALECTO vale 'db2', que no es un dialecto "
                                  "(sqlserver, postgresql o sqlite)"));
}

TEST_F(CliDatabaseOptionsTest, OdbcSpeaksSqlServerUnlessToldOtherwise) {
  // SQLite rejects the SQL Server form of "create the table when missing".
  const CliResult result = Run({"--odbc", Server(), "empresas"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err.rfind("error -2147217900 (Vornexa.Data): ", 0), 0u) << result.err;
  EXPECT_NE(result.err.find("\"IF\""), std::string::npos) << result.err;
}

TEST_F(CliDatabaseOptionsTest, DemoNeverWorksOnAnOdbcDatabase) {
  ExpectError({"--odbc", Server(), "--dialecto", "sqlite", "demo"}, 1000, "vornexa demo",
              "La demostración trabaja solo con un fichero SQLite propio (vornexa-demo.db o el "
              "de --db), que vacía antes de empezar; no usa una conexión --odbc");
  EXPECT_FALSE(std::filesystem::exists(Path("servidor.db")));
  EXPECT_FALSE(std::filesystem::exists(Path("vornexa-demo.db")));

  // A connection in the environment is the user's own database: the demo
  // leaves it alone and builds its file as ever.
  Ok({"--odbc", Server(), "--dialecto", "sqlite", "init", "--nombre", "Servidor"});
  environment_ = {{"VORNEXA_ODBC", Server()}, {"VORNEXA_DIALECTO", "sqlite"}};
  const CliResult demo = Run({"demo"});
  EXPECT_EQ(demo.exit_code, 0) << demo.err;
  EXPECT_TRUE(std::filesystem::exists(Path("vornexa-demo.db")));
  const JsonValue companies = Json({"empresas"});
  ASSERT_EQ(companies.size(), 1u);
  EXPECT_EQ(companies[0]["nombre"], "Servidor");
  EXPECT_EQ(Json({"cuenta", "listar"}).size(), 0u) << "no demo accounts on the server";
}

}  // namespace
}  // namespace vornexa::cli::testing
