// The demo company and the balance commands on it, checked against its
// journal.
#include <cstdlib>

#include "tests/cli/cli_runner.h"
#include "vornexa/base/types.h"

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
    database_ = OpenSqlite((dir_ / "vornexa-demo.db").string());
  }
  static void TearDownTestSuite() {
    database_.reset();
    std::filesystem::remove_all(dir_);
  }

  static JsonValue Json(std::vector<std::string> args) {
    args.insert(args.begin(), {"--db", "vornexa-demo.db", "--json"});
    const CliResult result = RunProgram(dir_, args);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    return JsonValue::parse(result.out);
  }
  static CliResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--db", "vornexa-demo.db"});
    return RunProgram(dir_, args);
  }

  // Debit minus credit, debit and credit of the journal lines that count
  // (neither closing nor voided entries) matching `where`, as exact strings.
  static std::array<std::string, 3> Lines(const std::string& where) {
    const auto rows = database_->Open(
        "SELECT ISNULL(SUM(m.Debe), 0) AS debe, ISNULL(SUM(m.Haber), 0) AS haber FROM "
        "Movimientos m INNER JOIN Asientos a ON a.Cod_Empresa = m.Cod_Empresa AND "
        "a.Cod_Ejercicio = m.Cod_Ejercicio AND a.Codigo = m.Cod_Asiento WHERE m.Cod_Empresa = 1 "
        "AND a.Cierre = 0 AND a.Nulo = 0 AND " + where);
    const Currency debit = rows->Field("debe").ToCurrency();
    const Currency credit = rows->Field("haber").ToCurrency();
    return {(debit - credit).ToString(), debit.ToString(), credit.ToString()};
  }
  static std::string Net(const std::string& code, int exercise) {
    return Lines("m.Cuenta LIKE '" + code + "%' AND m.Cod_Ejercicio = " +
                 std::to_string(exercise))[0];
  }
  static std::string Forecasts(const std::string& code, const std::string& states) {
    const auto rows = database_->Open(
        "SELECT ISNULL(SUM(Importe), 0) AS v FROM Previsiones_Cobro WHERE Cod_Empresa = 1 AND "
        "CuentaOriginal = '" + code + "' AND Estado IN (" + states + ")");
    return rows->Field("v").ToCurrency().ToString();
  }

  static inline std::filesystem::path dir_;
  static inline CliResult tour_;
  static inline std::shared_ptr<Connection> database_;
};

TEST_F(CliDemoTest, TourRunsEveryCapabilityOnAJournalOfTwoYears) {
  EXPECT_EQ(tour_.exit_code, 0);
  EXPECT_EQ(tour_.err, "");
  for (int section = 1; section <= 11; ++section) {
    EXPECT_NE(tour_.out.find("\n" + std::to_string(section) + ". "), std::string::npos) << section;
  }
  // The refusals and repairs it shows are the library's own.
  for (const char* result :
       {"error 1000 (clsGrupos::Eliminar): No se puede eliminar el grupo por tener cuentas "
        "asociadas",
        "error 1000 (Cuentas::Eliminar): No se puede eliminar la cuenta 43000001 por tener "
        "movimientos asociados",
        "Reparar_Acumulado -> nivel 5, filas: 2 (una por ejercicio)",
        "43000006 tiene movimientos: no; Eliminar -> sí; existe: no",
        "Insertar el grupo 9 -> existe: sí; Eliminar, sin cuentas -> sí; existe: no"}) {
    EXPECT_NE(tour_.out.find(result), std::string::npos) << result;
  }
  const auto rows = database_->Open(
      "SELECT COUNT(*) AS n, COUNT(DISTINCT Cod_Ejercicio) AS e FROM Movimientos");
  EXPECT_GT(rows->Field("n").ToInt64(), 300);
  EXPECT_EQ(rows->Field("e").ToInt64(), 2);
}

TEST_F(CliDemoTest, BalancesAgreeWithTheJournal) {
  for (const std::string code : {"57200001", "43000001", "430", "4", "70000001", "62100001"}) {
    // Balance-sheet accounts open the second year with the first year's balance.
    const bool carried = code[0] >= '1' && code[0] <= '5';
    const std::string first_year = Net(code, 2024);
    const Currency opening = carried ? Currency::FromDecimal(first_year) : Currency{};
    const Currency balance = opening + Currency::FromDecimal(Net(code, 2025));
    EXPECT_NE(first_year, "0.0000") << code;

    const JsonValue current = Json({"saldo", "actual", code});
    ASSERT_EQ(current.size(), 1u);
    EXPECT_EQ(current[0]["Cuenta"], code);
    EXPECT_EQ(current[0]["ejercicio"], 2025);
    EXPECT_EQ(current[0]["saldo"], balance.ToString()) << code;
    EXPECT_EQ(Json({"saldo", "apertura", code})[0]["apertura"], opening.ToString()) << code;
    EXPECT_EQ(Json({"--ejercicio", "2024", "saldo", "actual", code})[0]["saldo"], first_year);
  }
}

TEST_F(CliDemoTest, PeriodTotalsApplyEveryFilter) {
  const std::string q1 = "a.Fecha BETWEEN '2025-01-01' AND '2025-03-31'";
  const std::string both_years = "a.Fecha BETWEEN '2024-01-01' AND '2025-12-31'";
  const struct {
    std::vector<std::string> args;
    std::string where;
  } cases[] = {
      {{"700.1", "--desde", "2025-01-01", "--hasta", "2025-03-31"},
       "m.Cuenta = '70000001' AND " + q1},
      {{"700.1", "--desde", "2025-01-01", "--hasta", "2025-03-31", "--dpto", "2"},
       "m.Cuenta = '70000001' AND m.Dpto = 2 AND " + q1},
      {{"572.1", "--desde", "2024-01-01", "--hasta", "2025-12-31", "--concepto", "Nóminas"},
       "m.Cuenta = '57200001' AND m.Concepto LIKE '%Nóminas%' AND " + both_years},
      {{"43.1", "--desde", "2024-01-01", "--hasta", "2025-12-31", "--diario", "2"},
       "m.Cuenta = '43000001' AND m.Diario = 2 AND " + both_years},
      {{"700.1", "--desde", "2024-01-01", "--hasta", "2025-12-31", "--importe", "2000",
        "--variacion", "1000"},
       "m.Cuenta = '70000001' AND ((m.Debe BETWEEN 1000 AND 3000) OR (m.Haber BETWEEN 1000 AND "
       "3000)) AND " + both_years},
      {{"477.1", "--desde", "2025-01-01", "--hasta", "2025-12-31", "--documento", "F25-001"},
       "m.Cuenta = '47700001' AND m.Documento = 'F25-001' AND a.Fecha BETWEEN '2025-01-01' AND "
       "'2025-12-31'"},
      {{"700.1", "--desde", "2024-01-01", "--hasta", "2025-12-31", "--importe", "2000,5",
        "--variacion", "1500", "--concepto", "Factura", "--dpto", "3", "--diario", "2"},
       "m.Cuenta = '70000001' AND ((m.Debe BETWEEN 500.5 AND 3500.5) OR (m.Haber BETWEEN 500.5 "
       "AND 3500.5)) AND m.Concepto LIKE '%Factura%' AND m.Dpto = 3 AND m.Diario = 2 AND " +
           both_years},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"saldo", "periodo"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const JsonValue row = Json(args)[0];
    const auto expected = Lines(c.where);
    EXPECT_FALSE(expected[1] == "0.0000" && expected[2] == "0.0000") << c.where;
    EXPECT_EQ(row["saldo"], expected[0]) << c.where;
    EXPECT_EQ(row["debe"], expected[1]) << c.where;
    EXPECT_EQ(row["haber"], expected[2]) << c.where;
  }
}

TEST_F(CliDemoTest, ForecastsAreTotalledByState) {
  bool any_pending = false;
  for (const std::string code : {"43000001", "43000002", "43000003", "43000004", "43000005"}) {
    const std::string pending = Forecasts(code, "1,2,3,4");
    any_pending = any_pending || pending != "0.0000";
    EXPECT_EQ(Json({"saldo", "cartera", code})[0]["cartera"], pending) << code;
    EXPECT_EQ(Json({"saldo", "previsiones", code, "--estados", "1, 3"})[0]["previsiones"],
              Forecasts(code, "1,3"));
    EXPECT_EQ(Json({"saldo", "previsiones", code, "--estados", "5"})[0]["previsiones"],
              Forecasts(code, "5"));
  }
  EXPECT_TRUE(any_pending);
  const CliResult bad = Run({"saldo", "previsiones", "43.1", "--estados", "1) OR (1=1"});
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_EQ(bad.err.rfind("error 1000 (Cuentas::Dev_Saldo_PrevCobro): ", 0), 0u) << bad.err;
}

class CliDemoFileTest : public CliTest {};

TEST_F(CliDemoFileTest, NeverOverwritesADatabaseByAccident) {
  WriteFile("mine.db", "precious");
  ExpectError({"--db", "mine.db", "demo"}, 1000, "vornexa demo",
              "El fichero 'mine.db' ya existe; la demostración crea una base de datos nueva "
              "(añada --reemplazar para sustituirlo)");
  EXPECT_EQ(ReadFile("mine.db"), "precious");
  // VORNEXA_DB names the user's database: the demo keeps to its own file.
  const CliResult own = RunProgram(dir_, {"demo"}, "", {{"VORNEXA_DB", "mine.db"}});
  EXPECT_EQ(own.exit_code, 0) << own.err;
  EXPECT_EQ(ReadFile("mine.db"), "precious");
  // Its own file is replaced on every run.
  const CliResult again = Run({"demo"});
  EXPECT_EQ(again.exit_code, 0) << again.err;
  EXPECT_EQ(again.out, own.out);
  EXPECT_EQ(Run({"--db", "mine.db", "demo", "--reemplazar"}).exit_code, 0);
  EXPECT_NE(ReadFile("mine.db"), "precious");
}

}  // namespace
}  // namespace vornexa::cli::testing
