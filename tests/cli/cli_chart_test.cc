// init, the standard chart seed and the company settings.
#include <fstream>
#include <map>
#include <sstream>

#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

// The code and name columns of one of the project's chart files. The files
// quote a field only when it holds a comma or a quote.
std::map<std::string, std::string> ReadChartFile(const std::string& name) {
  std::ifstream file(std::string(VORNEXA_CHART_DIR) + "/" + name);
  std::map<std::string, std::string> chart;
  std::string line;
  std::getline(file, line);  // header
  while (std::getline(file, line)) {
    const size_t comma = line.find(',');
    std::string value = line.substr(comma + 1);
    if (!value.empty() && value.front() == '"') {
      std::string unquoted;
      for (size_t i = 1; i + 1 < value.size(); ++i) {
        unquoted += value[i];
        if (value[i] == '"') ++i;  // a doubled quote
      }
      value = unquoted;
    }
    chart[line.substr(0, comma)] = value;
  }
  return chart;
}

class CliChartTest : public CliTest {};

TEST_F(CliChartTest, InitWithChartSavesEveryCodeAndNameWithLevelsAndAccumulators) {
  const std::string out = Ok({"--ejercicio", "2025", "init", "--nombre", "Prueba, S.L.", "--pgc"});
  EXPECT_EQ(out,
            "Empresa 1 «Prueba, S.L.»: ejercicio activo 2025 (ejercicios 2025); dígitos por nivel "
            "1,2,3,4,8,0, cuentas de detalle de 8 dígitos. Creada.\n"
            "Plan General de Contabilidad 2007: 903 cuentas creadas.\n");

  std::map<std::string, std::string> expected = ReadChartFile("pgc2007.csv");
  for (const auto& entry : ReadChartFile("pgc2007-subcuentas.csv")) expected.insert(entry);
  ASSERT_EQ(expected.size(), 903u);

  const auto listed = Json({"cuenta", "listar"});
  std::map<std::string, std::string> loaded;
  for (const auto& account : listed) {
    const std::string code = account["Cuenta"];
    loaded[code] = account["Nombre"];
    // Levels of 1, 2, 3 and 4 digits: the level is the code's length, and
    // the upper account is the code without its last digit.
    EXPECT_EQ(account["Nivel"], static_cast<int>(code.size())) << code;
    if (code.size() > 1) {
      EXPECT_TRUE(expected.count(code.substr(0, code.size() - 1))) << "upper of " << code;
    }
  }
  // Every name whole, the longest (138 characters) too; a quoted comma is
  // part of the name.
  EXPECT_EQ(loaded, expected);
  EXPECT_EQ(loaded["1030"], "Socios por desembolsos no exigidos, capital social");

  // Saved through the library's own save: one accumulator row per account.
  const auto rows = Open()->Open(
      "SELECT COUNT(*) AS n FROM Acumulados WHERE Cod_Empresa = 1 AND Cod_Ejercicio = 2025");
  EXPECT_EQ(rows->Field("n").ToInt64(), 903);
}

TEST_F(CliChartTest, SeedingAgainKeepsAccountsAlreadyThere) {
  Ok({"--ejercicio", "2025", "init", "--pgc"});
  Ok({"cuenta", "guardar", "430", "--nombre", "Mis clientes", "--nif", "B00000001"});
  EXPECT_EQ(Ok({"init", "--pgc"}),
            "Empresa 1 «Empresa 1»: ejercicio activo 2025 (ejercicios 2025); dígitos por nivel "
            "1,2,3,4,8,0, cuentas de detalle de 8 dígitos. Actualizada.\n"
            "Plan General de Contabilidad 2007: 0 cuentas creadas, 903 ya existían y se "
            "conservan.\n");
  const auto account = Json({"cuenta", "ver", "430"});
  EXPECT_EQ(account["Nombre"], "Mis clientes");
  EXPECT_EQ(account["Nif"], "B00000001");
}

TEST_F(CliChartTest, MultiExerciseChartReachesLaterExercisesOnly) {
  Ok({"--ejercicio", "2024", "init", "--ejercicios", "2023,2024,2025", "--multiejercicio",
      "--pgc"});
  const auto db = Open();
  for (const auto& [exercise, count] :
       std::vector<std::pair<int, int64_t>>{{2023, 0}, {2024, 903}, {2025, 903}}) {
    const auto rows = db->Open("SELECT COUNT(*) AS n FROM Cuentas WHERE Cod_Ejercicio = " +
                               std::to_string(exercise));
    EXPECT_EQ(rows->Field("n").ToInt64(), count) << exercise;
  }
}

TEST_F(CliChartTest, CompaniesCoexistAndKeepTheirSettings) {
  Ok({"--ejercicio", "2025", "init", "--nombre", "Primera"});
  Ok({"--empresa", "2", "--ejercicio", "2024", "init", "--nombre", "Segunda", "--digitos",
      "1,2,3,6", "--ejercicios", "2023,2024"});
  Ok({"--empresa", "2", "cuenta", "guardar", "4", "--nombre", "Cuatro"});
  const auto companies = Json({"empresas"});
  ASSERT_EQ(companies.size(), 2u);
  EXPECT_EQ(companies[0]["nombre"], "Primera");
  EXPECT_EQ(companies[1], JsonValue::parse(R"({"codigo": 2, "nombre": "Segunda",
      "ejercicio": 2024, "ejercicios": "2023,2024", "multiejercicio": false,
      "digitos_nivel": "1,2,3,6,0,0", "digitos_cuenta": 6})"));
  EXPECT_EQ(Json({"--empresa", "2", "cuenta", "listar"}).size(), 1u);
  EXPECT_EQ(Json({"cuenta", "listar"}).size(), 0u);
  // A short code expands to the company's own detail length.
  EXPECT_EQ(Json({"--empresa", "2", "cuenta", "desarrollar", "43.5"})["Cuenta"], "430005");
}

TEST_F(CliChartTest, InitRefusesSettingsThatCannotWork) {
  const struct {
    std::vector<std::string> args;
    std::string description;
  } cases[] = {
      {{"--ejercicio", "2025", "init", "--digitos", "1,3,2"},
       "Los dígitos por nivel deben crecer de un nivel al siguiente, entre 1 y 20"},
      {{"--ejercicio", "2025", "init", "--digitos", "1,2,8", "--digitos-cuenta", "9"},
       "Los dígitos de una cuenta de detalle (9) deben ser los del último nivel (8)"},
      {{"--ejercicio", "2025", "init", "--ejercicios", "2024"},
       "El ejercicio activo 2025 no está en la lista de ejercicios: 2024"},
      {{"--ejercicio", "2025", "init", "--ejercicios", "2025,2025"},
       "Los ejercicios no pueden ser 0 ni repetirse: 2025,2025"},
      {{"--ejercicio", "2025", "init", "--digitos", "2,4,6", "--pgc"},
       "El Plan General de Contabilidad necesita niveles de 1, 2, 3 y 4 dígitos "
       "(--digitos 1,2,3,4,...)"},
      {{"--ejercicio", "2025", "init", "--nombre", Repeat("ñ", 101)},
       "El nombre de la empresa tiene 101 caracteres; caben 100"},
  };
  for (const auto& c : cases) ExpectError(c.args, 1000, "vornexa init", c.description);
  // Every refusal came before anything was written.
  EXPECT_EQ(Json({"empresas"}).size(), 0u);
}

}  // namespace
}  // namespace vornexa::cli::testing
