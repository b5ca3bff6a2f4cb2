// The demo on a fresh folder, and the balance commands on its journal: each
// option reaches the library call it names, whose arithmetic the library's own
// tests check.
#include "tests/cli/cli_runner.h"
#include "vornexa/accounts/cls_cuenta.h"
#include "vornexa/context/empresa.h"

namespace vornexa::cli::testing {
namespace {

// One demo database for the whole suite: the commands below only read it.
class CliDemoTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vornexa-demo-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    tour_ = RunProgram(dir_, {"demo"});
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(dir_); }

  static CliResult Demo(Args args) {
    args.insert(args.begin(), {"--db", "vornexa-demo.db"});
    return RunProgram(dir_, args);
  }
  // The library's own account object on the demo company (exercise 2025).
  static clsCuenta Account(const std::string& code) {
    auto company = std::make_shared<Empresa>();
    company->codigo = 1;
    company->ejercicio = 2025;
    company->digitos_cuenta = 8;
    company->digitos_nivel = {1, 2, 3, 4, 8, 0};
    company->ejercicios = {2024, 2025};
    clsCuenta account;
    account.Conexion(OpenSqlite((dir_ / "vornexa-demo.db").string()));
    account.cEmpresa(company);
    account.Cuenta = code;
    return account;
  }

  static inline std::filesystem::path dir_;
  static inline CliResult tour_;
};

TEST_F(CliDemoTest, TourRunsEveryCapability) {
  EXPECT_EQ(tour_.exit_code, 0);
  EXPECT_EQ(tour_.err, "");
  for (int section = 1; section <= 11; ++section) {
    EXPECT_NE(tour_.out.find("\n" + std::to_string(section) + ". "), std::string::npos) << section;
  }
}

TEST_F(CliDemoTest, EachBalanceOptionReachesTheLibraryCall) {
  const Date jan1{2025, 1, 1}, last{2025, 12, 31};
  Currency sales_debit, sales_credit, vat_debit, vat_credit, quarter_debit, quarter_credit;
  Account("70000001").Dev_Acumulado(2025, jan1, {2025, 3, 31}, quarter_debit, quarter_credit);
  Account("70000001").Dev_Acumulado3(2025, {2024, 1, 1}, last, Currency::FromDecimal("2000.5"),
                                     Currency::FromDecimal("1500"), "Factura", "", 3, 2,
                                     sales_debit, sales_credit);
  Account("47700001").Dev_Acumulado3(2025, jan1, last, {}, {}, "", "F25-001", 0, 0, vat_debit,
                                     vat_credit);
  const Args filtered = {"saldo", "periodo", "700.1", "--desde", "2024-01-01", "--hasta",
                         "2025-12-31", "--importe", "2000,5", "--variacion", "1500", "--concepto",
                         "Factura", "--dpto", "3", "--diario", "2"};
  const Args document = {"saldo", "periodo", "477.1", "--desde", "2025-01-01", "--hasta",
                         "2025-12-31", "--documento", "F25-001"};
  const struct {
    Args args;
    std::string member;
    Currency expected;
  } cases[] = {
      {{"--ejercicio", "2024", "saldo", "actual", "4"}, "saldo", Account("4").Dev_Saldo(2024)},
      {{"saldo", "apertura", "430"}, "apertura", Account("430").Dev_Apertura(2025)},
      {{"saldo", "periodo", "700.1", "--desde", "2025-01-01", "--hasta", "2025-03-31"}, "haber",
       quarter_credit},
      {filtered, "haber", sales_credit},
      {filtered, "saldo", sales_debit - sales_credit},
      {document, "haber", vat_credit},
      {{"saldo", "cartera", "43.1"}, "cartera", Account("43000001").Dev_Saldo_Cartera()},
      {{"saldo", "previsiones", "43.1", "--estados", "1, 3"}, "previsiones",
       Account("43000001").Dev_Saldo_PrevCobro("1, 3")},
  };
  for (const auto& c : cases) {
    Args args = c.args;
    args.push_back("--json");
    const CliResult result = Demo(args);
    ASSERT_EQ(result.exit_code, 0) << result.err;
    const JsonValue rows = JsonValue::parse(result.out);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][c.member], c.expected.ToString()) << c.args[2] << " " << c.member;
    EXPECT_NE(c.expected, Currency{}) << "a figure of zero proves nothing: " << c.member;
  }
}

TEST_F(CliDemoTest, LibraryRefusalsKeepTheirNumberAndSource) {
  EXPECT_EQ(Demo({"cuenta", "movimientos", "43.1"}).out,
            "La cuenta 43000001 tiene movimientos en el ejercicio 2025 de la empresa 1.\n");
  const CliResult refused = Demo({"cuenta", "eliminar", "43.1"});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_EQ(refused.err, ErrorLine(1000, "Cuentas::Eliminar", "No se puede eliminar la cuenta "
                                   "43000001 por tener movimientos asociados"));
  const CliResult bad = Demo({"saldo", "previsiones", "43.1", "--estados", "1) OR (1=1"});
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_EQ(bad.err.rfind("error 1000 (Cuentas::Dev_Saldo_PrevCobro): ", 0), 0u) << bad.err;
}

class CliDemoFileTest : public CliTest {};

TEST_F(CliDemoFileTest, NeverOverwritesADatabaseByAccident) {
  WriteFile("mine.db", "precious");
  ExpectError({"--db", "mine.db", "demo"}, 1000, "vornexa demo",
              "El fichero 'mine.db' ya existe; la demostración crea una base de datos nueva "
              "(añada --reemplazar para sustituirlo)");
  // VORNEXA_DB and VORNEXA_ODBC name the user's database: the demo keeps to its own file.
  const CliResult own =
      RunProgram(dir_, {"demo"}, "", {{"VORNEXA_DB", "mine.db"}, {"VORNEXA_ODBC", "x"}});
  EXPECT_EQ(own.exit_code, 0) << own.err;
  EXPECT_EQ(ReadFile("mine.db"), "precious");
  EXPECT_EQ(Run({"demo"}).out, own.out);  // its own file is replaced on every run
  EXPECT_EQ(Run({"--db", "mine.db", "demo", "--reemplazar"}).exit_code, 0);
  EXPECT_NE(ReadFile("mine.db"), "precious");
}

}  // namespace
}  // namespace vornexa::cli::testing
