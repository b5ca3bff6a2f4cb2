// cuenta and grupo commands on a small chart: what they print, in text and
// JSON, and which values they store.
#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

class CliAccountsTest : public SeededCliTest {
 protected:
  Args Codes(const Args& args) {
    Args codes;
    for (const auto& account : Json(args)) codes.push_back(account["Cuenta"]);
    return codes;
  }
};

TEST_F(CliAccountsTest, CreateShowUpdateAndDelete) {
  EXPECT_EQ(Ok({"cuenta", "guardar", "43.5", "--nombre", "O'Brien, \"Hnos\"", "--nif",
                "B12345678", "--cp", "46001", "--grupo", "3"}),
            "Cuenta 43000005 creada en el ejercicio 2025 de la empresa 1.\n");
  // An update changes only the fields given.
  EXPECT_EQ(Ok({"cuenta", "guardar", "43.5", "--telefono", "963 000 000"}),
            "Cuenta 43000005 actualizada en el ejercicio 2025 de la empresa 1.\n");
  ExpectFields("43.5", R"({"Cuenta": "43000005", "Nivel": 5, "Nombre": "O'Brien, \"Hnos\"",
      "Nif": "B12345678", "Cp": 46001, "Telefono": "963 000 000", "Grupo": 3,
      "IdMandato": "0143000005"})");
  // The text view leaves empty fields out.
  EXPECT_EQ(Ok({"cuenta", "ver", "43000005"}),
            "Cuenta           43000005\nNivel            5\nNIF              B12345678\n"
            "Nombre           O'Brien, \"Hnos\"\nCódigo postal    46001\n"
            "Teléfono         963 000 000\nGrupo            3\nId. del mandato  0143000005\n");
  // Every command but demo and exportar speaks JSON; confirmations are objects.
  for (const Args& args : std::vector<Args>{
           {"cuenta", "existe", "43.5"}, {"cuenta", "movimientos", "43.5"},
           {"cuenta", "componer", "43", "1"}, {"cuenta", "reparar", "43.5"}, {"init"},
           {"grupo", "crear", "3", "x"}}) {
    EXPECT_TRUE(Json(args).is_object()) << args.back();
  }
  EXPECT_EQ(Json({"cuenta", "guardar", "43.2"}), JsonValue::parse(R"({"mensaje":
      "Cuenta 43000002 creada en el ejercicio 2025 de la empresa 1."})"));
  EXPECT_EQ(Ok({"cuenta", "reparar", "43.5"}),
            "Acumulados de la cuenta 43000005 (nivel 5) reparados en los ejercicios 2025.\n");
  EXPECT_EQ(Ok({"cuenta", "eliminar", "43.5"}),
            "Cuenta 43000005 eliminada en el ejercicio 2025 de la empresa 1.\n");
  EXPECT_EQ(Ok({"cuenta", "existe", "43.5"}),
            "La cuenta 43000005 no existe en el ejercicio 2025 de la empresa 1.\n");
  // Blanks around a code are dropped; the level check can be waived.
  EXPECT_EQ(Ok({"cuenta", "guardar", " 4399.1 ", "--sin-verificar-niveles"}),
            "Cuenta 43990001 creada en el ejercicio 2025 de la empresa 1.\n");
}

TEST_F(CliAccountsTest, AnEqualsSignWithNothingAfterItIsTheEmptyValue) {
  Ok({"cuenta", "guardar", "43.1", "--nombre=Uno", "--nif", "B1"});
  Ok({"cuenta", "guardar", "43.1", "--nif="});
  ExpectFields("43.1", R"({"Nombre": "Uno", "Nif": ""})");
  // After "--" every argument is a value as it stands.
  Ok({"grupo", "crear", "2", "--", "--nombre="});
  EXPECT_EQ(Json({"grupo", "ver", "2"})["Nombre"], "--nombre=");
}

TEST_F(CliAccountsTest, ListAndStepWalkTheChartInCodeOrder) {
  Ok({"cuenta", "guardar", "4", "--nombre", "Cuenta 4"});
  for (const char* code : {"43.2", "43.1", "44", "440", "4400", "44.1"}) {
    Ok({"cuenta", "guardar", code});
  }
  EXPECT_EQ(Codes({"cuenta", "listar", "--desde", "430", "--hasta", "430"}),
            (Args{"430", "4300", "43000001", "43000002"}));
  // A start code that is no account starts at the next one.
  EXPECT_EQ(Codes({"cuenta", "listar", "--desde", "43000003", "--nivel", "5"}),
            (Args{"44000001"}));
  EXPECT_EQ(Ok({"cuenta", "listar", "--hasta", "4", "--nivel", "1"}),
            "Cuenta  Nivel  Nombre\n------  -----  --------\n4           1  Cuenta 4\n");
  EXPECT_EQ(Ok({"cuenta", "listar", "--desde", "5"}), "Sin resultados.\n");
  EXPECT_EQ(Json({"cuenta", "primera"})["Cuenta"], "4");
  EXPECT_EQ(Json({"cuenta", "ultima"})["Cuenta"], "44000001");
  EXPECT_EQ(Json({"cuenta", "anterior", "44"})["Cuenta"], "43000002");
  EXPECT_EQ(Json({"cuenta", "siguiente", "44.1"}), JsonValue(nullptr));
  EXPECT_EQ(Ok({"cuenta", "anterior", "4"}),
            "No hay cuenta anterior a 4 en el ejercicio 2025 de la empresa 1.\n");
  EXPECT_EQ(Json({"cuenta", "desarrollar", "43.5"})["Cuenta"], "43000005");
  EXPECT_EQ(Ok({"cuenta", "componer", "43", "5", "--digitos", "9"}), "430000005\n");
  // --ejercicio picks another exercise of the company for one run.
  Ok({"--ejercicio", "2026", "init"});
  EXPECT_EQ(Ok({"cuenta", "primera"}), "No hay cuentas en el ejercicio 2026 de la empresa 1.\n");
  EXPECT_EQ(Json({"--ejercicio", "2025", "cuenta", "primera"})["Cuenta"], "4");
}

TEST_F(CliAccountsTest, GroupsAreCreatedRenamedListedAndDeleted) {
  EXPECT_EQ(Ok({"grupo", "crear", "3", "Clientes, nacionales"}),
            "Grupo 3 «Clientes, nacionales» creado.\n");
  ExpectError({"grupo", "crear", "3", "Otro"}, 1000, "vornexa grupo crear",
              "El grupo 3 ya existe en la empresa 1");
  EXPECT_EQ(Ok({"grupo", "renombrar", "3", "Clientes"}), "Grupo 3 «Clientes» renombrado.\n");
  Ok({"cuenta", "guardar", "43.1", "--grupo", "3"});
  EXPECT_EQ(Json({"grupo", "listar"}),
            JsonValue::parse(R"([{"Codigo": 3, "Nombre": "Clientes", "cuentas": 1}])"));
  Ok({"cuenta", "guardar", "43.1", "--grupo", "0"});
  EXPECT_EQ(Ok({"grupo", "eliminar", "3"}), "Grupo 3 eliminado.\n");
  EXPECT_EQ(Json({"grupo", "listar"}).size(), 0u);
}

TEST_F(CliAccountsTest, JsonOutputSurvivesTextThatIsNotUtf8) {
  // Another program stored stray bytes: every read still gives valid JSON,
  // each bad sequence replaced by U+FFFD; the text view passes them through.
  Ok({"cuenta", "guardar", "43.1"});
  Open()->Execute("UPDATE Cuentas SET Nombre = CAST(X'41FF42C3' AS TEXT) WHERE "
                  "Cuenta = '43000001'");
  EXPECT_EQ(Json({"cuenta", "ver", "43.1"})["Nombre"], "A\xEF\xBF\xBD" "B\xEF\xBF\xBD");
  EXPECT_EQ(Json({"cuenta", "listar", "--nivel", "5"})[0]["Nombre"],
            "A\xEF\xBF\xBD" "B\xEF\xBF\xBD");
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

}  // namespace
}  // namespace vornexa::cli::testing
