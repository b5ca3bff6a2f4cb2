// The standard charts that init --pgc seeds, checked against the shared
// originals; the chart as a tree (plan) and an account's twelve months
// (cuenta meses) on the embedded database and on PostgreSQL, for scripts, for
// files and on a terminal.
#include <cstdlib>
#include <map>
#include <sstream>

#include "tests/cli/cli_runner.h"
#include "vornexa/base/text.h"

namespace vornexa::cli::testing {
namespace {

// Code -> name of a chart file: header "codigo,nombre", a name with a comma
// between quotes (no name holds a quote).
std::map<std::string, std::string> ReadChart(const std::string& path) {
  std::ifstream in(path);
  std::map<std::string, std::string> chart;
  std::string line;
  for (std::getline(in, line); std::getline(in, line);) {
    const size_t comma = line.find(',');
    std::string name = line.substr(comma + 1);
    if (name.starts_with('"')) name = name.substr(1, name.size() - 2);
    chart[line.substr(0, comma)] = name;
  }
  return chart;
}

TEST_F(CliTest, ShippedChartsAreTheSharedOnesCodeForCodeAndNameForName) {
  const std::string shared = VORNEXA_SHARED_CHARTS;
  if (!std::filesystem::exists(shared + "/pgc-normal.csv")) {
    const std::string why = "LOS PLANES NO SE HAN COMPROBADO: no hay originales en " + shared;
    if (const char* ci = std::getenv("CI"); ci != nullptr && std::string(ci) == "true") {
      FAIL() << why;
    }
    GTEST_SKIP() << why;
  }
  for (const auto& [plan, codes] : {std::pair{"normal", 913}, {"pymes", 779}}) {
    const std::string db = std::string(plan) + ".db";
    const JsonValue seeded =
        Json({"--db", db, "init", "--digitos", "1,2,3,4,5,8", "--pgc", plan});
    EXPECT_EQ(seeded["creadas"], codes);
    EXPECT_EQ(seeded["sin_nivel"], 0);
    std::map<std::string, std::string> chart;
    for (const auto& row : Json({"--db", db, "cuenta", "listar"})) chart[row["Cuenta"]] = row["Nombre"];
    EXPECT_EQ(chart, ReadChart(shared + "/pgc-" + plan + ".csv")) << plan;
  }
}

TEST_F(CliTest, TreeAndMonthsAreTheSameOnTheEmbeddedDatabaseAndOnPostgreSql) {
  std::vector<std::pair<std::shared_ptr<Connection>, Environment>> databases = {{nullptr, {}}};
  for (const auto& server : vornexa::testing::ServerBackends()) {
    databases.push_back({server.open_empty(),
                         {{"VORNEXA_ODBC", vornexa::testing::PostgreSqlConnectionString()},
                          {"VORNEXA_DIALECTO", "postgresql"}}});
  }
  for (const auto& [server, environment] : databases) {
    environment_ = environment;
    const std::shared_ptr<Connection> db = server ? server : Open();
    Ok({"empresas"});  // a server outlives the run: the tool's own table is emptied too
    db->Execute("DELETE FROM Vornexa_Empresas");
    Ok({"--ejercicio", "2025", "init", "--pgc"});
    Ok({"cuenta", "guardar", "43.1", "--nombre", "Cliente Uno"});
    db->Execute("UPDATE Acumulados SET Apertura = 100, D2 = 50.5, H3 = 200 WHERE Cuenta IN "
                "('43000001', '4300')");
    EXPECT_EQ(Json({"plan", "--raiz", "4300", "--saldos"}), JsonValue::parse(R"j([{"Cuenta": "4300",
        "Nivel": 4, "Nombre": "Clientes (euros)", "saldo": "-49.5000", "cuentas": [{"Cuenta":
        "43000001", "Nivel": 5, "Nombre": "Cliente Uno", "saldo": "-49.5000", "cuentas": []}]}])j"));
    const JsonValue months = Json({"cuenta", "meses", "43.1"});
    EXPECT_EQ(months["apertura"], "100.0000");
    EXPECT_EQ(months["periodos"][1], JsonValue::parse(R"({"periodo": 2, "mes": "febrero",
        "debe": "50.5000", "haber": "0.0000", "saldo": "150.5000"})"));
    EXPECT_EQ(months["periodos"][11]["saldo"], "-49.5000");
  }
  // For people: in a file every name whole and the bars in plain text; on a
  // terminal, names cut and bars of block elements to fit its width.
  environment_.clear();
  EXPECT_EQ(Ok({"plan", "--raiz", "4300", "--saldos"}),
            "Nivel  Cuenta                     Saldo\n-----  ------------------------  ------\n"
            "    4  4300  Clientes (euros)    -49,50\n    5  └─ 43000001  Cliente Uno  -49,50\n");
  const std::string months_text = Ok({"cuenta", "meses", "43.1"});
  for (const std::string line :
       {"Cuenta 43000001 «Cliente Uno», ejercicio 2025\nApertura: 100,00\n",
        "\n      3  marzo        0,00  200,00  -49,50\n",
        "\nfebrero                    |############################################  150,50\n"
        "marzo       ###############|                                              -49,50\n"}) {
    EXPECT_NE(months_text.find(line), std::string::npos) << line << months_text;
  }
  const std::string terminal = Path("terminal.txt");
  for (const std::string& command : {"plan --saldos", "cuenta meses 43.1"}) {
    ASSERT_EQ(std::system(("cd " + dir_.string() + " && script -qec 'stty cols 50; " +
                           VORNEXA_CLI_PROGRAM + " " + command + "' /dev/null >terminal.txt")
                              .c_str()),
              0);
    std::istringstream lines(ReadFile("terminal.txt"));
    for (std::string line; std::getline(lines, line);) {
      EXPECT_LE(vornexa::CharCount(line), 51u) << line;  // and the CR of the terminal's line end
    }
    EXPECT_NE(ReadFile("terminal.txt").find(command.starts_with("plan") ? "…" : "█"),
              std::string::npos);
  }
}

}  // namespace
}  // namespace vornexa::cli::testing
