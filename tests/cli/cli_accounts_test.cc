// init, cuenta, grupo and demo: what they print, in text and JSON, and what
// they store; the standard chart seed, the company settings, the demo's tour.
#include "support/fixtures.h"
#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

using CliAccountsTest = SeededCliTest;

TEST_F(CliAccountsTest, CreateShowUpdateAndDelete) {
  const std::string in_2025 = " en el ejercicio 2025 de la empresa 1.\n";
  EXPECT_EQ(Ok({"cuenta", "guardar", "43.5", "--nombre", "O'Brien, \"Hnos\"", "--nif",
                "B12345678", "--cp", "46001", "--grupo", "3", "--direccion", "Mayor, 1"}),
            "Cuenta 43000005 creada" + in_2025);
  // An update changes only the fields given; "--x=" is the empty value.
  EXPECT_EQ(Ok({"cuenta", "guardar", "43.5", "--direccion=", "--telefono", "963 000 000"}),
            "Cuenta 43000005 actualizada" + in_2025);
  ExpectFields("43.5", R"({"Cuenta": "43000005", "Nivel": 5, "Nombre": "O'Brien, \"Hnos\"",
      "Nif": "B12345678", "Cp": 46001, "Telefono": "963 000 000", "Grupo": 3, "Direccion": "",
      "IdMandato": "0143000005"})");
  // The text view leaves empty fields out.
  EXPECT_EQ(Ok({"cuenta", "ver", "43000005"}),
            "Cuenta           43000005\nNivel            5\nNIF              B12345678\n"
            "Nombre           O'Brien, \"Hnos\"\nCódigo postal    46001\n"
            "Teléfono         963 000 000\nGrupo            3\nId. del mandato  0143000005\n");
  EXPECT_EQ(Json({"cuenta", "guardar", "43.2"}).at("mensaje").get<std::string>() + "\n",
            "Cuenta 43000002 creada" + in_2025);
  EXPECT_EQ(Ok({"cuenta", "eliminar", "43.5"}), "Cuenta 43000005 eliminada" + in_2025);
  EXPECT_EQ(Ok({"cuenta", "existe", "43.5"}), "La cuenta 43000005 no existe" + in_2025);
  EXPECT_EQ(Ok({"cuenta", "guardar", " 4399.1 ", "--sin-verificar-niveles"}),  // level check waived
            "Cuenta 43990001 creada" + in_2025);
}

TEST_F(CliAccountsTest, ListStepAndGroupCommands) {
  Ok({"cuenta", "guardar", "4", "--nombre", "Cuenta 4"});
  for (const char* code : {"43.2", "43.1", "44", "440", "4400", "44.1"}) {
    Ok({"cuenta", "guardar", code});
  }
  Args codes;
  for (const auto& account : Json({"cuenta", "listar", "--desde", "430", "--hasta", "430"})) {
    codes.push_back(account["Cuenta"]);
  }
  EXPECT_EQ(codes, (Args{"430", "4300", "43000001", "43000002"}));
  // A start code that is no account starts at the next one.
  EXPECT_EQ(Json({"cuenta", "listar", "--desde", "43000003", "--nivel", "5"})[0]["Cuenta"],
            "44000001");
  EXPECT_EQ(Ok({"cuenta", "listar", "--hasta", "4", "--nivel", "1"}),
            "Cuenta  Nivel  Nombre\n------  -----  --------\n4           1  Cuenta 4\n");
  EXPECT_EQ(Ok({"cuenta", "listar", "--desde", "5"}), "Sin resultados.\n");
  EXPECT_EQ(Json({"cuenta", "siguiente", "44.1"}), JsonValue(nullptr));

  EXPECT_EQ(Ok({"grupo", "crear", "3", "Clientes, nacionales"}),
            "Grupo 3 «Clientes, nacionales» creado.\n");
  Expect({"grupo", "crear", "3", "Otro"}, 1, "",
         ErrorLine(1000, "vornexa grupo crear", "El grupo 3 ya existe en la empresa 1"));
  EXPECT_EQ(Ok({"grupo", "renombrar", "3", "Clientes"}), "Grupo 3 «Clientes» renombrado.\n");
  Ok({"cuenta", "guardar", "43.1", "--grupo", "3"});
  EXPECT_EQ(Json({"grupo", "listar"}),
            JsonValue::parse(R"([{"Codigo": 3, "Nombre": "Clientes", "cuentas": 1}])"));
  Ok({"cuenta", "guardar", "43.1", "--grupo", "0"});
  EXPECT_EQ(Ok({"grupo", "eliminar", "3"}), "Grupo 3 eliminado.\n");
  // After "--" every argument is a value as it stands.
  Ok({"grupo", "crear", "2", "--", "--nombre="});
  EXPECT_EQ(Json({"grupo", "ver", "2"})["Nombre"], "--nombre=");

  // --ejercicio picks another exercise of the company for one run.
  Ok({"--ejercicio", "2026", "init"});
  EXPECT_EQ(Ok({"cuenta", "ultima"}), "No hay cuentas en el ejercicio 2026 de la empresa 1.\n");
  EXPECT_EQ(Json({"--ejercicio", "2025", "cuenta", "ultima"})["Cuenta"], "44000001");
}

TEST_F(CliAccountsTest, JsonOutputSurvivesTextThatIsNotUtf8) {
  // Another program stored stray bytes: every read still gives valid JSON,
  // each bad sequence replaced by U+FFFD; the text view passes them through.
  Ok({"cuenta", "guardar", "43.1"});
  Open()->Execute("UPDATE Cuentas SET Nombre = CAST(X'41FF42C3' AS TEXT) WHERE Cuenta = "
                  "'43000001'");
  EXPECT_EQ(Json({"cuenta", "ver", "43.1"})["Nombre"], "A\xEF\xBF\xBD" "B\xEF\xBF\xBD");
  EXPECT_NE(Ok({"cuenta", "listar"}).find("      5  A\xFF" "B\xC3\n"), std::string::npos);
  // A save never reports failure after it stored, nor success when it did not.
  const CliResult created = Run({"--json", "grupo", "crear", "5", "Grupo \xFF\xFE"});
  const bool stored = Scalar("SELECT COUNT(*) AS v FROM Cuentas_Grupos WHERE Codigo = 5") == "1";
  EXPECT_EQ(created.exit_code == 0, stored) << created.err;
  if (stored) {
    EXPECT_EQ(JsonValue::parse(created.out)["mensaje"],
              "Grupo 5 «Grupo \xEF\xBF\xBD\xEF\xBF\xBD» creado.");
  }
}

TEST_F(CliTest, InitWithChartKeepsAccountsAlreadyThereAndCompaniesTheirSettings) {
  const std::string company = "Empresa 1 «Prueba, S.L.»: ejercicio activo 2025 (ejercicios 2025); "
                              "dígitos por nivel 1,2,3,4,8,0, cuentas de detalle de 8 dígitos. ";
  const std::string plan = "Plan General de Contabilidad (RD 1514/2007, texto consolidado de 21 "
                           "de diciembre de 2024): ";
  const std::string left_out = " No se han creado las 10 subcuentas de 5 dígitos: ningún nivel de "
                               "la empresa tiene 5 dígitos (sus niveles: 1,2,3,4,8); para "
                               "incluirlas, use niveles como --digitos 1,2,3,4,5,8.\n";
  EXPECT_EQ(Ok({"--ejercicio", "2025", "init", "--nombre", "Prueba, S.L.", "--pgc"}),
            company + "Creada.\n" + plan + "903 cuentas creadas; 0 ya existían y se conservan "
                                           "como estaban." + left_out);
  // Every name whole: the longest has 138 characters.
  EXPECT_EQ(Scalar("SELECT MAX(LENGTH(Nombre)) AS v FROM Cuentas"), "138");
  Ok({"cuenta", "guardar", "430", "--nombre", "Mis clientes"});
  EXPECT_EQ(Ok({"init", "--pgc", "normal"}),
            company + "Actualizada.\n" + plan + "0 cuentas creadas; 903 ya existían y se "
                                                "conservan como estaban." + left_out);
  EXPECT_EQ(Json({"cuenta", "ver", "430"})["Nombre"], "Mis clientes");
  // The PYMES plan adds only the accounts the general one lacks.
  EXPECT_EQ(Json({"init", "--pgc", "PYMES"})["creadas"], 6);
  // Another company beside it keeps its own settings, which reach the library:
  // later exercises too, its own code length.
  Ok({"--empresa", "2", "--ejercicio", "2024", "init", "--nombre", "Segunda", "--digitos",
      "1,2,3,6", "--ejercicios", "2023,2024,2025", "--multiejercicio"});
  Ok({"--empresa", "2", "cuenta", "guardar", "4", "--nombre", "Cuatro"});
  EXPECT_EQ(Json({"empresas"})[1], JsonValue::parse(R"({"codigo": 2, "nombre": "Segunda",
      "ejercicio": 2024, "ejercicios": "2023,2024,2025", "multiejercicio": true,
      "digitos_nivel": "1,2,3,6,0,0", "digitos_cuenta": 6})"));
  EXPECT_EQ(Scalar("SELECT COUNT(*) AS v FROM Cuentas WHERE Cod_Empresa = 2"), "2");
  EXPECT_EQ(Json({"--empresa", "2", "cuenta", "desarrollar", "43.5"})["Cuenta"], "430005");
}

TEST_F(CliTest, DemoBuildsItsOwnDatabaseAndNeverOverwritesOneByAccident) {
  const std::string tour = Ok({"demo"});
  EXPECT_NE(tour.find("\n14. Renumerar una cuenta"), std::string::npos) << tour;  // the last step
  // VORNEXA_DB and VORNEXA_ODBC name the user's database: the demo keeps to
  // its own file, which it replaces on every run.
  WriteFile("mine.db", "precious");
  environment_ = {{"VORNEXA_DB", "mine.db"}, {"VORNEXA_ODBC", "x"}};
  EXPECT_EQ(Ok({"demo"}), tour);
  EXPECT_EQ(ReadFile("mine.db"), "precious");
  environment_.clear();
  Expect({"--db", "mine.db", "demo"}, 1, "",
         ErrorLine(1000, "vornexa demo", "El fichero 'mine.db' ya existe; la demostración crea "
                                         "una base de datos nueva (añada --reemplazar para "
                                         "sustituirlo)"));
  Ok({"--db", "mine.db", "demo", "--reemplazar"});
  EXPECT_NE(ReadFile("mine.db"), "precious");
}

// The tour's accumulators hold what its journal's live entries post (voided
// ones left out), and each filter of `saldo periodo` reaches its own argument
// of the library call.
TEST_F(CliTest, DemoAccumulatorsMatchItsJournalAndFiltersReachTheLibraryCall) {
  Ok({"--db", "vornexa.db", "demo"});
  const std::shared_ptr<Connection> db = Open();
  clsCuenta detail;
  detail.Conexion(db);
  detail.cEmpresa(vornexa::testing::MakeCompany(1, 2025));
  int checked = 0;
  for (auto rows = db->Open("SELECT Cod_Ejercicio, Cuenta, D1+D2+D3+D4+D5+D6+D7+D8+D9+D10+D11+"
                                "D12 AS d, H1+H2+H3+H4+H5+H6+H7+H8+H9+H10+H11+H12 AS h FROM "
                                "Acumulados WHERE LENGTH(Cuenta) = 8");
       !rows->Eof(); rows->MoveNext(), ++checked) {
    const int16_t exercise = rows->Field("Cod_Ejercicio").ToInt16();
    detail.Cuenta = rows->Field("Cuenta").ToText();
    Currency debit, credit;
    detail.Dev_Acumulado(exercise, Date{exercise, 1, 1}, Date{exercise, 12, 31}, debit, credit);
    EXPECT_EQ(debit, rows->Field("d").ToCurrency()) << exercise << " " << detail.Cuenta;
    EXPECT_EQ(credit, rows->Field("h").ToCurrency()) << exercise << " " << detail.Cuenta;
  }
  EXPECT_GT(checked, 10);
  detail.Conexion(nullptr);
  const struct {
    Args filters;
    const char* code;
    Currency amount, variation;
    const char *concept_text, *document;
    int16_t department, journal;
  } cases[] = {
      {{"--documento", "F25-001"}, "47700001", {}, {}, "", "F25-001", 0, 0},
      {{"--importe", "2000,5", "--variacion", "1500", "--concepto", "Factura", "--dpto", "3",
        "--diario", "2"},
       "70000001", Currency::FromDecimal("2000.5"), Currency::FromDecimal("1500"), "Factura", "",
       3, 2},
  };
  clsCuenta account;
  account.Conexion(Open());
  account.cEmpresa(vornexa::testing::MakeCompany(1, 2025));
  for (const auto& c : cases) {
    Args args = {"saldo", "periodo", c.code, "--desde", "2024-01-01", "--hasta", "2025-12-31"};
    args.insert(args.end(), c.filters.begin(), c.filters.end());
    Currency debit, credit;
    account.Cuenta = c.code;
    account.Dev_Acumulado3(2025, Date{2024, 1, 1}, Date{2025, 12, 31}, c.amount, c.variation,
                           c.concept_text, c.document, c.department, c.journal, debit, credit);
    ASSERT_NE(debit + credit, Currency{}) << c.code;  // figures of zero would prove nothing
    const JsonValue rows = Json(args);
    EXPECT_EQ(rows[0]["debe"], debit.ToString()) << c.code;
    EXPECT_EQ(rows[0]["haber"], credit.ToString()) << c.code;
  }
  account.Conexion(nullptr);
}

}  // namespace
}  // namespace vornexa::cli::testing
