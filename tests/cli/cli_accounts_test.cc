// cuenta and grupo commands on a small chart.
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
  const JsonValue account = Json({"cuenta", "ver", "43.5"});
  EXPECT_EQ(account.size(), 44u);
  const JsonValue expected = JsonValue::parse(R"({"Cuenta": "43000005", "Nivel": 5,
      "Nombre": "O'Brien, \"Hnos\"", "Nif": "B12345678", "Cp": 46001, "Telefono": "963 000 000",
      "Grupo": 3, "IdMandato": "0143000005"})");
  for (const auto& [field, value] : expected.items()) EXPECT_EQ(account[field], value) << field;
  // The text view leaves empty fields out.
  EXPECT_EQ(Ok({"cuenta", "ver", "43000005"}),
            "Cuenta           43000005\nNivel            5\nNIF              B12345678\n"
            "Nombre           O'Brien, \"Hnos\"\nCódigo postal    46001\n"
            "Teléfono         963 000 000\nGrupo            3\nId. del mandato  0143000005\n");
  // Every command but demo and exportar speaks JSON; confirmations are objects.
  for (const Args& args : std::vector<Args>{
           {"cuenta", "existe", "43.5"}, {"cuenta", "movimientos", "43.5"},
           {"cuenta", "componer", "43", "1"}, {"cuenta", "reparar", "43.5"}, {"init"}}) {
    EXPECT_TRUE(Json(args).is_object()) << args[1];
  }
  EXPECT_EQ(Json({"cuenta", "guardar", "43.2"}), JsonValue::parse(R"({"mensaje":
      "Cuenta 43000002 creada en el ejercicio 2025 de la empresa 1."})"));
  EXPECT_EQ(Ok({"cuenta", "reparar", "43.5"}),
            "Acumulados de la cuenta 43000005 (nivel 5) reparados en los ejercicios 2025.\n");
  EXPECT_EQ(Ok({"cuenta", "eliminar", "43.5"}),
            "Cuenta 43000005 eliminada en el ejercicio 2025 de la empresa 1.\n");
  EXPECT_EQ(Ok({"cuenta", "existe", "43.5"}),
            "La cuenta 43000005 no existe en el ejercicio 2025 de la empresa 1.\n");
  // Deleting or showing what is not there is a failure, not a confirmation.
  for (const std::string command : {"ver", "eliminar"}) {
    ExpectError({"cuenta", command, "43.5"}, 1000, "vornexa cuenta " + command,
                "La cuenta 43000005 no existe en el ejercicio 2025 de la empresa 1");
  }
}

TEST_F(CliAccountsTest, RefusalsSaveNothing) {
  const struct {
    Args args;
    int32_t number;
    std::string source, description;
  } cases[] = {
      {{"cuenta", "guardar", "43.1", "--grupo", "40000"}, 6, "vornexa cuenta guardar",
       "El campo Grupo está fuera de rango: 40000"},
      // The description's line break is reported as a blank: one line on stderr.
      {{"cuenta", "guardar", "4399.1", "--nombre", "Huérfana"}, 1000, "Cuentas::Insertar",
       "No se ha creado la cuenta de nivel superior. Debe crear : 4399 en ejercicio: 2025"},
      {{"cuenta", "ver", "4300.00000001"}, 5, "vornexa cuenta ver",
       "El código abreviado '4300.00000001' tiene más dígitos que una cuenta de detalle (8)"},
      {{"cuenta", "existe", "43.00005"}, 1000, "vornexa cuenta existe",
       "No se puede desarrollar el código abreviado '43.00005'"},
      {{"cuenta", "listar", "--desde", "4%"}, 1000, "vornexa cuenta listar",
       "'4%' no es un código de cuenta: solo lleva dígitos y, abreviado, un punto (43.5)"},
  };
  for (const auto& c : cases) ExpectError(c.args, c.number, c.source, c.description);
  // A code is digits, with one point in a short form: anything else is refused
  // wherever a code is typed.
  for (const std::string code : {"4'3.1", "43.-1", "%", "4300000\xF0\x9F\x98\x80", "43..1",
                                 "4 3", "", "."}) {
    for (const Args& command : std::vector<Args>{{"cuenta", "guardar"}, {"cuenta", "eliminar"},
                                                 {"saldo", "actual"}, {"cuenta", "desarrollar"}}) {
      ExpectError({command[0], command[1], code}, 1000, "vornexa " + command[0] + " " + command[1],
                  "'" + code + "' no es un código de cuenta: solo lleva dígitos y, abreviado, "
                  "un punto (43.5)");
    }
  }
  EXPECT_EQ(Codes({"cuenta", "listar"}), (Args{"4", "43", "430", "4300"}));
  EXPECT_EQ(Ok({"cuenta", "guardar", " 4399.1 ", "--sin-verificar-niveles"}),
            "Cuenta 43990001 creada en el ejercicio 2025 de la empresa 1.\n");
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
  ExpectError({"--ejercicio", "2030", "cuenta", "primera"}, 1000, "vornexa",
              "La empresa 1 no tiene el ejercicio 2030 (sus ejercicios: 2025,2026)");
}

TEST_F(CliAccountsTest, GroupsAreCreatedShownRenamedListedAndDeleted) {
  EXPECT_EQ(Ok({"grupo", "crear", "3", "Clientes, nacionales"}),
            "Grupo 3 «Clientes, nacionales» creado.\n");
  ExpectError({"grupo", "crear", "3", "Otro"}, 1000, "vornexa grupo crear",
              "El grupo 3 ya existe en la empresa 1");
  EXPECT_EQ(Ok({"grupo", "renombrar", "3", "Clientes"}), "Grupo 3 «Clientes» renombrado.\n");
  EXPECT_TRUE(Json({"grupo", "renombrar", "3", "Clientes"}).is_object());
  Ok({"cuenta", "guardar", "43.1", "--grupo", "3"});
  EXPECT_EQ(Json({"grupo", "listar"}),
            JsonValue::parse(R"([{"Codigo": 3, "Nombre": "Clientes", "cuentas": 1}])"));
  ExpectError({"grupo", "eliminar", "3"}, 1000, "clsGrupos::Eliminar",
              "No se puede eliminar el grupo por tener cuentas asociadas");
  Ok({"cuenta", "guardar", "43.1", "--grupo", "0"});
  EXPECT_EQ(Ok({"grupo", "eliminar", "3"}), "Grupo 3 eliminado.\n");
  for (const Args& args : std::vector<Args>{{"grupo", "ver", "3"}, {"grupo", "renombrar", "3", "x"},
                                            {"grupo", "eliminar", "3"}}) {
    ExpectError(args, 1000, "vornexa grupo " + args[1], "El grupo 3 no existe en la empresa 1");
  }
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

TEST_F(CliAccountsTest, AnEqualsSignWithNothingAfterItIsTheEmptyValue) {
  Ok({"cuenta", "guardar", "4399.1", "--nombre=", "--sin-verificar-niveles"});
  EXPECT_EQ(Json({"cuenta", "ver", "4399.1"})["Nombre"], "");
  Ok({"cuenta", "guardar", "4399.1", "--nombre=Uno", "--nif="});
  EXPECT_EQ(Json({"cuenta", "ver", "4399.1"})["Nombre"], "Uno");
  // After "--" every argument is a value as it stands.
  Ok({"grupo", "crear", "2", "--", "--nombre="});
  EXPECT_EQ(Json({"grupo", "ver", "2"})["Nombre"], "--nombre=");
}

}  // namespace
}  // namespace vornexa::cli::testing
