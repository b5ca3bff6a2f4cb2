// init, the standard chart seed and the company settings.
#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

using CliChartTest = CliTest;

TEST_F(CliChartTest, InitWithChartSavesEveryCodeAndNameAndKeepsAccountsAlreadyThere) {
  const std::string company = "Empresa 1 «Prueba, S.L.»: ejercicio activo 2025 (ejercicios 2025); "
                              "dígitos por nivel 1,2,3,4,8,0, cuentas de detalle de 8 dígitos. ";
  EXPECT_EQ(Ok({"--ejercicio", "2025", "init", "--nombre", "Prueba, S.L.", "--pgc"}),
            company + "Creada.\nPlan General de Contabilidad 2007: 903 cuentas creadas.\n");
  // The chart's files, imported as they stand, give the same accounts: every
  // name whole, the longest (138 characters) too, a quoted comma part of it.
  std::string csv = "Cuenta,Nombre\n";
  for (const char* name : {"pgc2007.csv", "pgc2007-subcuentas.csv"}) {
    const std::string text = Slurp(std::string(VORNEXA_CHART_DIR) + "/" + name);
    csv += text.substr(text.find('\n') + 1);
  }
  Ok({"--db", "copia.db", "--ejercicio", "2025", "init"});
  EXPECT_EQ(Ok({"--db", "copia.db", "importar", "-"}, csv), "Importadas 903 de 903 cuentas de '-'.\n");
  EXPECT_EQ(Json({"cuenta", "listar"}), Json({"--db", "copia.db", "cuenta", "listar"}));

  Ok({"cuenta", "guardar", "430", "--nombre", "Mis clientes"});
  EXPECT_EQ(Ok({"init", "--pgc"}), company + "Actualizada.\nPlan General de Contabilidad 2007: 0 "
                                             "cuentas creadas, 903 ya existían y se conservan.\n");
  EXPECT_EQ(Json({"cuenta", "ver", "430"})["Nombre"], "Mis clientes");
}

TEST_F(CliChartTest, CompaniesCoexistAndKeepTheirSettings) {
  Ok({"--ejercicio", "2025", "init", "--nombre", "Primera"});
  Ok({"--empresa", "2", "--ejercicio", "2024", "init", "--nombre", "Segunda", "--digitos",
      "1,2,3,6", "--ejercicios", "2023,2024,2025", "--multiejercicio"});
  Ok({"--empresa", "2", "cuenta", "guardar", "4", "--nombre", "Cuatro"});
  const auto companies = Json({"empresas"});
  ASSERT_EQ(companies.size(), 2u);
  EXPECT_EQ(companies[0]["nombre"], "Primera");
  EXPECT_EQ(companies[1], JsonValue::parse(R"({"codigo": 2, "nombre": "Segunda",
      "ejercicio": 2024, "ejercicios": "2023,2024,2025", "multiejercicio": true,
      "digitos_nivel": "1,2,3,6,0,0", "digitos_cuenta": 6})"));
  // The settings reach the library: later exercises too, the company's own code length.
  EXPECT_EQ(Scalar("SELECT COUNT(*) AS v FROM Cuentas WHERE Cod_Empresa = 2"), "2");
  EXPECT_EQ(Json({"cuenta", "listar"}).size(), 0u);
  EXPECT_EQ(Json({"--empresa", "2", "cuenta", "desarrollar", "43.5"})["Cuenta"], "430005");
}

}  // namespace
}  // namespace vornexa::cli::testing
