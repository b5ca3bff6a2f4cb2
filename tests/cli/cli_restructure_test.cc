// plan digitos-cuenta, cuenta renumerar and cuenta fusionar through the tool,
// and a widening killed at random moments: the database holds the old chart
// with the old digits or the new chart with the new ones.
#include <filesystem>

#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

class CliRestructureTest : public SeededCliTest {};

TEST_F(CliRestructureTest, SimulatesThenChangesTheChartAndTheCompanysDigits) {
  for (const char* code : {"43.17", "43.245"}) Ok({"cuenta", "guardar", code});
  const JsonValue dry = Json({"plan", "digitos-cuenta", "10", "--simular"});
  EXPECT_EQ(dry["codigos"], JsonValue::parse(R"([{"antes": "43000017", "despues": "4300000017"},
      {"antes": "43000245", "despues": "4300000245"}])"));
  EXPECT_EQ(dry["simulacion"], true);
  Ok({"plan", "digitos-cuenta", "10"});
  EXPECT_EQ(Json({"cuenta", "ver", "43.245"})["Cuenta"], "4300000245");
  EXPECT_EQ(Json({"cuenta", "renumerar", "43.245", "43.18"})["superiores_cuadrados"], 4);
  Expect({"cuenta", "fusionar", "43.18", "43.18"}, 1, "",
         ErrorLine(1000, "Plan::FusionarCuentas",
                   "No se puede fusionar la cuenta 4300000018 consigo misma"));
  Ok({"cuenta", "fusionar", "43.18", "43.17"});
  EXPECT_EQ(Scalar("SELECT COUNT(*) || ' ' || MAX(Cuenta) AS v FROM Cuentas"), "5 4300000017");
}

TEST_F(CliRestructureTest, KilledAtAnyMomentLeavesOneChartOrTheOther) {
  for (const char* sql :
       {"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) INSERT "
        "INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel) SELECT 1, 2025, 43000000 + i, "
        "5 FROM n",
        "INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, D1) SELECT "
        "Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, 1 FROM Cuentas WHERE Nivel = 5",
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 30000) INSERT "
        "INTO Movimientos (Cod_Empresa, Cod_Ejercicio, Cod_Asiento, Apunte, Cuenta, Debe) "
        "SELECT 1, 2025, i, 1, 43000001 + i % 2000, 1 FROM n"}) {
    Open()->Execute(sql);
  }
  Open()->Execute("UPDATE Acumulados SET D1 = 2000 WHERE Cuenta = '4300'");
  const std::filesystem::path database = Path("vornexa.db"), pristine = Path("pristine.db");
  std::filesystem::copy_file(database, pristine);
  KillAtRandomMoments(
      {"plan", "digitos-cuenta", "10"}, 4,
      [&] {
        for (const char* suffix : {"-wal", "-shm"}) std::filesystem::remove(Path("vornexa.db") + suffix);
        std::filesystem::copy_file(pristine, database, std::filesystem::copy_options::overwrite_existing);
      },
      [&] {
        const std::string state = Scalar(
            "SELECT (SELECT COUNT(*) FROM Cuentas WHERE length(Cuenta) = 10) || ' ' || (SELECT "
            "COUNT(*) FROM Movimientos WHERE length(Cuenta) = 10) || ' ' || (SELECT DigitosCuenta "
            "FROM Vornexa_Empresas) AS v");
        EXPECT_TRUE(state == "0 0 8" || state == "2000 30000 10") << state;
      });
}

}  // namespace
}  // namespace vornexa::cli::testing
