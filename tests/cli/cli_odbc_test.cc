// The tool on a database reached through ODBC (--odbc, --dialecto): SQLite
// through its ODBC driver, and the PostgreSQL server of VORNEXA_TEST_PG.
#include "support/backends.h"
#include "tests/cli/cli_runner.h"
#include "vornexa/data/odbc_connection.h"
#include "vornexa/schema/schema.h"
#include "vornexa/schema/tables.h"

namespace vornexa::cli::testing {
namespace {

// The server's database outlives a run and other suites write to it: this
// suite keeps to a company of its own and clears it first.
constexpr const char* kCompany = "917";

class CliOdbcTest : public CliTest, public ::testing::WithParamInterface<Dialect> {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    connection_string_ = GetParam() == Dialect::Sqlite
                             ? "Driver=SQLite3;Database=" + Path("servidor.db") + ";"
                             : vornexa::testing::PostgreSqlConnectionString();
    if (connection_string_.empty()) {
      const char* why = "VORNEXA_TEST_PG is not set (run the tests under scripts/with-postgres)";
      if (vornexa::testing::AllBackendsRequired()) FAIL() << why;
      GTEST_SKIP() << why;
    }
    Ok(Odbc({"empresas"}));  // creates the tables the cleaning needs
    db_ = OpenOdbc(connection_string_, GetParam());
    for (const TableDef& table : SchemaTables()) {
      if (table.name == table::kRazonSocial) continue;  // shared by every company
      db_->Execute("DELETE FROM " + std::string(table.name) + " WHERE Cod_Empresa = " + kCompany);
    }
    db_->Execute("DELETE FROM Vornexa_Empresas WHERE Codigo = " + std::string(kCompany));
  }

  // The database options of this backend and the suite's company, then `command`.
  Args Odbc(const Args& command) const {
    Args args = {"--odbc", connection_string_, "--dialecto",
                 GetParam() == Dialect::Sqlite ? "sqlite" : "postgresql", "--empresa", kCompany};
    args.insert(args.end(), command.begin(), command.end());
    return args;
  }

  JsonValue StoredCompany() {  // the suite's company as `empresas` lists it
    for (const JsonValue& company : Json(Odbc({"empresas"}))) if (company["codigo"] == 917) return company;
    return nullptr;
  }

  std::string connection_string_;
  std::shared_ptr<Connection> db_;
};

TEST_P(CliOdbcTest, CompanyChartAccountsAndBalancesLiveInTheOdbcDatabase) {
  Ok(Odbc({"--ejercicio", "2025", "init", "--pgc", "--nombre", "Ñandú 日本, S.L."}));
  EXPECT_EQ(db_->Open("SELECT COUNT(*) AS v FROM Acumulados WHERE Cod_Empresa = 917 AND "
                      "Cod_Ejercicio = 2025")->Field("v").ToInt64(), 903);
  EXPECT_FALSE(std::filesystem::exists(Path("vornexa.db"))) << "no embedded file on the side";

  // The company row is read back as written, and updated in place.
  Ok(Odbc({"init", "--ejercicios", "2024,2025"}));
  EXPECT_EQ(StoredCompany(), JsonValue::parse(R"({"codigo": 917, "nombre": "Ñandú 日本, S.L.",
      "ejercicio": 2025, "ejercicios": "2024,2025", "multiejercicio": false,
      "digitos_nivel": "1,2,3,4,8,0", "digitos_cuenta": 8})"));
  // The name column holds as many characters as the tool accepts.
  Ok(Odbc({"init", "--nombre", Repeat("ñ", 100)}));
  EXPECT_EQ(StoredCompany()["nombre"], Repeat("ñ", 100));

  EXPECT_EQ(Ok(Odbc({"cuenta", "guardar", "43.1", "--nombre", "Cliente Uno"})),
            "Cuenta 43000001 creada en el ejercicio 2025 de la empresa 917.\n");
  EXPECT_EQ(Json(Odbc({"cuenta", "listar", "--desde", "43", "--hasta", "430"}))[3],
            JsonValue::parse(R"({"Cuenta": "43000001", "Nivel": 5, "Nombre": "Cliente Uno"})"));
  // Balances: exact in JSON, the Spanish way in the text view.
  ASSERT_EQ(db_->Execute("UPDATE Acumulados SET Apertura = 100, D3 = 250.5, H3 = 2040.25 WHERE "
                         "Cod_Empresa = 917 AND Cod_Ejercicio = 2025 AND Cuenta = '43000001'"),
            1);
  EXPECT_EQ(Json(Odbc({"saldo", "actual", "43.1"})), JsonValue::parse(R"([{"Cuenta": "43000001",
      "Nombre": "Cliente Uno", "ejercicio": 2025, "saldo": "-1689.7500"}])"));
  const std::string text = Ok(Odbc({"saldo", "actual", "43.1"}));
  EXPECT_NE(text.find("43000001  Cliente Uno"), std::string::npos) << text;
  EXPECT_NE(text.find(" -1.689,75\n"), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(Backends, CliOdbcTest, ::testing::Values(Dialect::Sqlite, Dialect::PostgreSql),
                         [](const auto& info) {
                           return info.param == Dialect::Sqlite ? "SqliteOdbc" : "PostgreSql"; });

}  // namespace
}  // namespace vornexa::cli::testing
