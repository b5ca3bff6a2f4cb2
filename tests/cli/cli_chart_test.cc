// The standard charts that init --pgc seeds, checked against the shared
// originals; the chart as a tree (plan) and an account's twelve months
// (cuenta meses) on the embedded database and on PostgreSQL, for scripts, for
// files and on a terminal.
#include <cstdlib>
#include <sstream>

#include "tests/cli/cli_runner.h"
#include "vornexa/base/text.h"

namespace vornexa::cli::testing {
namespace {

// init --pgc seeds the shipped chart code for code and name for name, and the
// shipped files are the shared originals. A clone away from those cannot tell
// the second, and says so as a skip rather than passing in silence.
TEST_F(CliTest, SeededChartsAreTheShippedOnesAndThoseTheSharedOriginals) {
  const char* elsewhere = std::getenv("VORNEXA_SHARED_CHARTS");
  const std::string shared = elsewhere != nullptr ? elsewhere : VORNEXA_SHARED_CHARTS;
  const bool have_originals = std::filesystem::exists(shared + "/pgc-normal.csv");
  for (const auto& [plan, codes] : {std::pair{"normal", 913}, {"pymes", 779}}) {
    const std::string db = std::string(plan) + ".db", file = std::string("/pgc-") + plan + ".csv";
    const JsonValue seeded = Json({"--db", db, "init", "--digitos", "1,2,3,4,5,8", "--pgc", plan});
    EXPECT_EQ(seeded["creadas"], codes);
    // Written back as the files hold it: in code order, a name with a comma quoted.
    std::string chart = "codigo,nombre\n";
    for (const auto& row : Json({"--db", db, "cuenta", "listar"})) {
      const std::string name = row["Nombre"];
      chart += row["Cuenta"].get<std::string>() + "," +
               (name.find(',') == std::string::npos ? name : '"' + name + '"') + "\n";
    }
    EXPECT_EQ(chart, ReadFile(VORNEXA_SHIPPED_CHARTS + file)) << plan;
    if (have_originals) EXPECT_EQ(ReadFile(VORNEXA_SHIPPED_CHARTS + file), ReadFile(shared + file));
  }
  if (!have_originals) {
    GTEST_SKIP() << "the shipped charts were not compared with the shared originals: none in "
                 << shared << " (VORNEXA_SHARED_CHARTS names their folder)";
  }
}

// The tool on the PostgreSQL server through its ODBC driver, and on the
// embedded database: the same company, chart, balances, tree and months.
TEST_F(CliTest, CompanyChartBalancesTreeAndMonthsAreTheSameOnEachDatabase) {
  std::vector<std::pair<std::shared_ptr<Connection>, Environment>> databases;
  for (const auto& server : vornexa::testing::ServerBackends()) {
    databases.push_back({server.open_empty(),  // fails when required
                         {{"VORNEXA_ODBC", vornexa::testing::PostgreSqlConnectionString()},
                          {"VORNEXA_DIALECTO", "postgresql"}}});
  }
  databases.push_back({nullptr, {}});
  for (const auto& [server, environment] : databases) {
    SCOPED_TRACE(server ? "PostgreSQL" : "embedded");
    environment_ = environment;
    Ok({"empresas"});  // a server outlives the run: the tool's own table is emptied too
    const std::shared_ptr<Connection> db = server ? server : Open();
    db->Execute("DELETE FROM Vornexa_Empresas");
    Ok({"--ejercicio", "2025", "init", "--pgc", "--nombre", "Ñandú 日本, S.L."});
    EXPECT_EQ(db->Open("SELECT COUNT(*) AS v FROM Acumulados")->Field("v").ToInt64(), 903);
    if (server) EXPECT_FALSE(std::filesystem::exists(Path("vornexa.db"))) << "a file on the side";

    // The company row is read back as written, and updated in place.
    Ok({"init", "--ejercicios", "2024,2025"});
    EXPECT_EQ(Json({"empresas"}), JsonValue::parse(R"([{"codigo": 1, "nombre": "Ñandú 日本, S.L.",
        "ejercicio": 2025, "ejercicios": "2024,2025", "multiejercicio": false,
        "digitos_nivel": "1,2,3,4,8,0", "digitos_cuenta": 8}])"));
    // The name column holds as many characters as the tool accepts.
    Ok({"init", "--nombre", Repeat("ñ", 100)});
    EXPECT_EQ(Json({"empresas"})[0]["nombre"], Repeat("ñ", 100));

    Ok({"cuenta", "guardar", "43.1", "--nombre", "Cliente Uno"});
    // Balances: exact in JSON, the Spanish way in the text view.
    ASSERT_EQ(db->Execute("UPDATE Acumulados SET Apertura = 100, D2 = 250.5, H3 = 2040.25 WHERE "
                          "Cuenta IN ('43000001', '4300')"),
              2);
    EXPECT_EQ(Json({"saldo", "actual", "43.1"}), JsonValue::parse(R"([{"Cuenta": "43000001",
        "Nombre": "Cliente Uno", "ejercicio": 2025, "saldo": "-1689.7500"}])"));
    EXPECT_EQ(Ok({"saldo", "actual", "43.1"}),
              "Cuenta    Nombre       Ejercicio      Saldo\n"
              "--------  -----------  ---------  ---------\n"
              "43000001  Cliente Uno       2025  -1.689,75\n");
    EXPECT_EQ(Json({"plan", "--raiz", "4300", "--saldos"}), JsonValue::parse(R"j([{"Cuenta": "4300",
        "Nivel": 4, "Nombre": "Clientes (euros)", "saldo": "-1689.7500", "cuentas": [{"Cuenta":
        "43000001", "Nivel": 5, "Nombre": "Cliente Uno", "saldo": "-1689.7500", "cuentas": []}]}])j"));
    const JsonValue months = Json({"cuenta", "meses", "43.1"});
    EXPECT_EQ(months["apertura"], "100.0000");
    EXPECT_EQ(months["periodos"][1], JsonValue::parse(R"({"periodo": 2, "mes": "febrero",
        "debe": "250.5000", "haber": "0.0000", "saldo": "350.5000"})"));
    EXPECT_EQ(months["periodos"][11]["saldo"], "-1689.7500");
  }
  // For people: in a file every name whole and the bars in plain text; on a
  // terminal, names cut and bars of block elements to fit its width.
  environment_.clear();
  EXPECT_EQ(
      Ok({"plan", "--raiz", "4300", "--saldos"}),
      "Nivel  Cuenta                        Saldo\n-----  ------------------------  ---------\n"
      "    4  4300  Clientes (euros)    -1.689,75\n"
      "    5  └─ 43000001  Cliente Uno  -1.689,75\n");
  const std::string months = Ok({"cuenta", "meses", "43.1"});
  for (const char* part :
       {"Cuenta 43000001 «Cliente Uno», ejercicio 2025\nApertura: 100,00\n",
        "\n      3  marzo         0,00  2.040,25  -1.689,75\n",
        "\nfebrero                                                   |##########     350,50\n",
        "\nmarzo       ##############################################|            -1.689,75\n"}) {
    EXPECT_NE(months.find(part), std::string::npos) << part << months;
  }
  for (const std::string& command : {"plan --saldos", "cuenta meses 43.1"}) {
    const std::string run = "cd " + dir_.string() + " && script -qec 'stty cols 50; " +
                            VORNEXA_CLI_PROGRAM + " --db vornexa.db " + command +
                            "' /dev/null >terminal.txt";
    ASSERT_EQ(std::system(run.c_str()), 0);
    const std::string shown = ReadFile("terminal.txt");
    EXPECT_NE(shown.find(command.starts_with("plan") ? "…" : "█"), std::string::npos) << shown;
    std::istringstream lines(shown);
    for (std::string line; std::getline(lines, line);) {
      EXPECT_LE(vornexa::CharCount(line), 51u) << line;  // and the CR of the terminal's line end
    }
  }
}

}  // namespace
}  // namespace vornexa::cli::testing
