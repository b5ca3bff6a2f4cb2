// The demo on a fresh folder, and the balance commands on its journal: each
// option reaches the library call it names, whose arithmetic the library's own
// tests check.
#include "support/fixtures.h"
#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

using CliDemoTest = CliTest;

TEST_F(CliDemoTest, BuildsItsOwnDatabaseAndNeverOverwritesOneByAccident) {
  const std::string tour = Ok({"demo"});
  for (int section = 1; section <= 11; ++section) {
    EXPECT_NE(tour.find("\n" + std::to_string(section) + ". "), std::string::npos) << section;
  }
  // VORNEXA_DB and VORNEXA_ODBC name the user's database: the demo keeps to
  // its own file, which it replaces on every run.
  WriteFile("mine.db", "precious");
  environment_ = {{"VORNEXA_DB", "mine.db"}, {"VORNEXA_ODBC", "x"}};
  EXPECT_EQ(Ok({"demo"}), tour);
  EXPECT_EQ(ReadFile("mine.db"), "precious");
  environment_.clear();
  ExpectError({"--db", "mine.db", "demo"}, 1000, "vornexa demo",
              "El fichero 'mine.db' ya existe; la demostración crea una base de datos nueva "
              "(añada --reemplazar para sustituirlo)");
  Ok({"--db", "mine.db", "demo", "--reemplazar"});
  EXPECT_NE(ReadFile("mine.db"), "precious");
}

TEST_F(CliDemoTest, BalanceOptionsReachTheLibraryAndItsRefusalsKeepTheirSource) {
  Ok({"demo"});
  environment_ = {{"VORNEXA_DB", "vornexa-demo.db"}};
  const auto account = [this](const std::string& code) {  // the library's own, on the demo
    auto company = vornexa::testing::MakeCompany(1, 2025);
    company->ejercicios = {2024, 2025};
    clsCuenta account;
    account.Conexion(OpenSqlite(Path("vornexa-demo.db")));
    account.cEmpresa(company);
    account.Cuenta = code;
    return account;
  };
  const Date jan1{2025, 1, 1}, last{2025, 12, 31};
  Currency debit, sales, tax, quarter;
  account("70000001").Dev_Acumulado(2025, jan1, {2025, 3, 31}, debit, quarter);
  account("70000001").Dev_Acumulado3(2025, {2024, 1, 1}, last, Currency::FromDecimal("2000.5"),
                                     Currency::FromDecimal("1500"), "Factura", "", 3, 2, debit,
                                     sales);
  account("47700001").Dev_Acumulado3(2025, jan1, last, {}, {}, "", "F25-001", 0, 0, debit, tax);
  const struct {
    Args args;
    std::string member;
    Currency expected;
  } cases[] = {
      {{"--ejercicio", "2024", "saldo", "actual", "4"}, "saldo", account("4").Dev_Saldo(2024)},
      {{"saldo", "apertura", "430"}, "apertura", account("430").Dev_Apertura(2025)},
      {{"saldo", "periodo", "700.1", "--desde", "2025-01-01", "--hasta", "2025-03-31"}, "haber",
       quarter},
      {{"saldo", "periodo", "700.1", "--desde", "2024-01-01", "--hasta", "2025-12-31", "--importe",
        "2000,5", "--variacion", "1500", "--concepto", "Factura", "--dpto", "3", "--diario", "2"},
       "haber", sales},
      {{"saldo", "periodo", "477.1", "--desde", "2025-01-01", "--hasta", "2025-12-31",
        "--documento", "F25-001"}, "haber", tax},
      {{"saldo", "cartera", "43.1"}, "cartera", account("43000001").Dev_Saldo_Cartera()},
      {{"saldo", "previsiones", "43.1", "--estados", "1, 3"}, "previsiones",
       account("43000001").Dev_Saldo_PrevCobro("1, 3")},
  };
  for (const auto& c : cases) {
    const JsonValue rows = Json(c.args);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][c.member], c.expected.ToString()) << c.args[2] << " " << c.member;
    EXPECT_NE(c.expected, Currency{}) << "a figure of zero proves nothing: " << c.member;
  }
  EXPECT_EQ(Ok({"cuenta", "movimientos", "43.1"}),
            "La cuenta 43000001 tiene movimientos en el ejercicio 2025 de la empresa 1.\n");
  ExpectError({"cuenta", "eliminar", "43.1"}, 1000, "Cuentas::Eliminar",
              "No se puede eliminar la cuenta 43000001 por tener movimientos asociados");
  const CliResult bad = Run({"saldo", "previsiones", "43.1", "--estados", "1) OR (1=1"});
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_EQ(bad.err.rfind("error 1000 (Cuentas::Dev_Saldo_PrevCobro): ", 0), 0u) << bad.err;
}

}  // namespace
}  // namespace vornexa::cli::testing
