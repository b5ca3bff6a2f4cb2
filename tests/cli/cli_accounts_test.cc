// cuenta and grupo commands on a small chart.
#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

class CliAccountsTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    Ok({"--ejercicio", "2025", "init", "--nombre", "Pruebas"});
    for (const char* code : {"4", "43", "430", "4300", "44", "440", "4400"}) {
      Ok({"cuenta", "guardar", code, "--nombre", std::string("Cuenta ") + code});
    }
  }

  std::vector<std::string> Codes(const JsonValue& accounts) {
    std::vector<std::string> codes;
    for (const auto& account : accounts) codes.push_back(account["Cuenta"]);
    return codes;
  }
};

TEST_F(CliAccountsTest, CreateShowUpdateAndDelete) {
  EXPECT_EQ(Ok({"cuenta", "guardar", "43.5", "--nombre", "O'Brien, \"Hnos\"", "--nif",
                "B12345678", "--cp", "46001", "--f-razon", "O'Brien Hermanos", "--grupo", "3",
                "--iban", "ES7620770024003102575766"}),
            "Cuenta 43000005 creada en el ejercicio 2025 de la empresa 1.\n");
  // An update changes only the fields given.
  EXPECT_EQ(Ok({"cuenta", "guardar", "43.5", "--telefono", "963 000 000"}),
            "Cuenta 43000005 actualizada en el ejercicio 2025 de la empresa 1.\n");
  const JsonValue account = Json({"cuenta", "ver", "43.5"});
  EXPECT_EQ(account.size(), 44u);
  const JsonValue expected = JsonValue::parse(R"({"Cuenta": "43000005", "Nivel": 5,
      "Nombre": "O'Brien, \"Hnos\"", "Nif": "B12345678", "Cp": 46001, "Telefono": "963 000 000",
      "F_Razon": "O'Brien Hermanos", "Grupo": 3, "CCC": "20770024003102575766",
      "IdMandato": "0143000005"})");
  for (const auto& [field, value] : expected.items()) {
    EXPECT_EQ(account[field], value) << field;
  }
  // The text view leaves empty fields out.
  EXPECT_EQ(Ok({"cuenta", "ver", "43000005"}),
            "Cuenta                43000005\n"
            "Nivel                 5\n"
            "NIF                   B12345678\n"
            "Nombre                O'Brien, \"Hnos\"\n"
            "Código postal         46001\n"
            "Teléfono              963 000 000\n"
            "Fiscal: razón social  O'Brien Hermanos\n"
            "Grupo                 3\n"
            "CCC                   20770024003102575766\n"
            "IBAN                  ES7620770024003102575766\n"
            "Id. del mandato       0143000005\n");

  EXPECT_EQ(Json({"cuenta", "existe", "43.5"}), JsonValue::parse(R"({"Cuenta": "43000005", "existe": true})"));
  EXPECT_EQ(Ok({"cuenta", "eliminar", "43.5"}),
            "Cuenta 43000005 eliminada en el ejercicio 2025 de la empresa 1.\n");
  EXPECT_EQ(Ok({"cuenta", "existe", "43.5"}),
            "La cuenta 43000005 no existe en el ejercicio 2025 de la empresa 1.\n");
  ExpectError({"cuenta", "ver", "43.5"}, 1000, "vornexa cuenta ver",
              "La cuenta 43000005 no existe en el ejercicio 2025 de la empresa 1");
}

TEST_F(CliAccountsTest, RefusalsSaveNothing) {
  const struct {
    std::vector<std::string> args;
    int32_t number;
    std::string source, description;
  } cases[] = {
      {{"cuenta", "guardar", "43.1", "--grupo", "40000"}, 6, "vornexa cuenta guardar",
       "El campo Grupo está fuera de rango: 40000"},
      // The description's line break is reported as a blank: one line on stderr.
      {{"cuenta", "guardar", "4399.1", "--nombre", "Huérfana"}, 1000, "Cuentas::Insertar",
       "No se ha creado la cuenta de nivel superior. Debe crear : 4399 en ejercicio: 2025"},
      {{"cuenta", "guardar", "43000", "--nombre", "x"}, 1000, "Cuentas::Insertar",
       "No se puede insertar una cuenta no correspondiente a los digitos parametrizados"},
      {{"cuenta", "ver", "4300.00000001"}, 5, "vornexa cuenta ver",
       "El código abreviado '4300.00000001' tiene más dígitos que una cuenta de detalle (8)"},
      // A short form as long as a detail account is no code.
      {{"cuenta", "existe", "43.00005"}, 1000, "vornexa cuenta existe",
       "No se puede desarrollar el código abreviado '43.00005'"},
  };
  for (const auto& c : cases) ExpectError(c.args, c.number, c.source, c.description);
  EXPECT_EQ(Codes(Json({"cuenta", "listar", "--nivel", "5"})), std::vector<std::string>{});
  EXPECT_EQ(Ok({"cuenta", "guardar", "4399.1", "--nombre", "Huérfana",
                "--sin-verificar-niveles"}),
            "Cuenta 43990001 creada en el ejercicio 2025 de la empresa 1.\n");
}

TEST_F(CliAccountsTest, ListWalksTheRangeInCodeOrder) {
  for (const char* code : {"43.2", "43.1", "44.1"}) Ok({"cuenta", "guardar", code});
  EXPECT_EQ(Codes(Json({"cuenta", "listar"})),
            (std::vector<std::string>{"4", "43", "430", "4300", "43000001", "43000002", "44",
                                      "440", "4400", "44000001"}));
  EXPECT_EQ(Codes(Json({"cuenta", "listar", "--desde", "430", "--hasta", "430"})),
            (std::vector<std::string>{"430", "4300", "43000001", "43000002"}));
  // A start code that is no account starts at the next one; the last code
  // takes every code that begins with it.
  EXPECT_EQ(Codes(Json({"cuenta", "listar", "--desde", "43000003", "--hasta", "440"})),
            (std::vector<std::string>{"44", "440", "4400", "44000001"}));
  EXPECT_EQ(Codes(Json({"cuenta", "listar", "--nivel", "5"})),
            (std::vector<std::string>{"43000001", "43000002", "44000001"}));
  EXPECT_EQ(Ok({"cuenta", "listar", "--hasta", "4", "--nivel", "1"}),
            "Cuenta  Nivel  Nombre\n"
            "------  -----  --------\n"
            "4           1  Cuenta 4\n");
  EXPECT_EQ(Ok({"cuenta", "listar", "--desde", "5"}), "Sin resultados.\n");
}

TEST_F(CliAccountsTest, StepsThroughTheChartAndExpandsShortCodes) {
  Ok({"cuenta", "guardar", "43.1", "--nombre", "Cliente uno"});
  EXPECT_EQ(Json({"cuenta", "primera"})["Cuenta"], "4");
  EXPECT_EQ(Json({"cuenta", "ultima"})["Cuenta"], "4400");
  EXPECT_EQ(Json({"cuenta", "siguiente", "4300"})["Nombre"], "Cliente uno");
  EXPECT_EQ(Json({"cuenta", "anterior", "44"})["Cuenta"], "43000001");
  EXPECT_EQ(Json({"cuenta", "siguiente", "4400"}), JsonValue(nullptr));
  EXPECT_EQ(Ok({"cuenta", "anterior", "4"}),
            "No hay cuenta anterior a 4 en el ejercicio 2025 de la empresa 1.\n");
  EXPECT_EQ(Json({"cuenta", "desarrollar", "43.5"})["Cuenta"], "43000005");
  EXPECT_EQ(Ok({"cuenta", "componer", "430", "7"}), "43000007\n");
  EXPECT_EQ(Ok({"cuenta", "componer", "43", "5", "--digitos", "9"}), "430000005\n");
  // Another exercise of the company has no accounts.
  Ok({"--ejercicio", "2026", "init"});
  EXPECT_EQ(Ok({"cuenta", "primera"}), "No hay cuentas en el ejercicio 2026 de la empresa 1.\n");
  EXPECT_EQ(Json({"--ejercicio", "2025", "cuenta", "primera"})["Cuenta"], "4");
  ExpectError({"--ejercicio", "2030", "cuenta", "primera"}, 1000, "vornexa",
              "La empresa 1 no tiene el ejercicio 2030 (sus ejercicios: 2025,2026)");
}

TEST_F(CliAccountsTest, MovementsBlockDeletionAndRepairRestoresAccumulators) {
  Ok({"cuenta", "guardar", "43.1"});
  EXPECT_EQ(Json({"cuenta", "movimientos", "43.1"})["movimientos"], false);
  const auto db = Open();
  db->Execute("INSERT INTO Asientos (Cod_Empresa, Cod_Ejercicio, Codigo, Fecha, Cierre, Nulo) "
              "VALUES (1, 2025, 1, '2025-02-01', 0, 0)");
  db->Execute("INSERT INTO Movimientos (Cod_Empresa, Cod_Ejercicio, Cod_Asiento, Apunte, Cuenta, "
              "Debe, Haber) VALUES (1, 2025, 1, 1, '43000001', 100, 0)");
  EXPECT_EQ(Ok({"cuenta", "movimientos", "43.1"}),
            "La cuenta 43000001 tiene movimientos en el ejercicio 2025 de la empresa 1.\n");
  ExpectError({"cuenta", "eliminar", "43.1"}, 1000, "Cuentas::Eliminar",
              "No se puede eliminar la cuenta 43000001 por tener movimientos asociados");
  EXPECT_EQ(Json({"cuenta", "existe", "43.1"})["existe"], true);

  db->Execute("DELETE FROM Acumulados WHERE Cuenta = '43000001'");
  EXPECT_EQ(Ok({"cuenta", "reparar", "43.1"}),
            "Acumulados de la cuenta 43000001 (nivel 5) reparados en los ejercicios 2025.\n");
  const auto rows = db->Open("SELECT Nivel FROM Acumulados WHERE Cod_Empresa = 1 AND "
                             "Cod_Ejercicio = 2025 AND Cuenta = '43000001'");
  ASSERT_FALSE(rows->Eof());
  EXPECT_EQ(rows->Field("Nivel").ToInt16(), 5);
}

TEST_F(CliAccountsTest, GroupsAreCreatedShownRenamedListedAndDeleted) {
  EXPECT_EQ(Ok({"grupo", "crear", "3", "Clientes, nacionales"}),
            "Grupo 3 «Clientes, nacionales» creado.\n");
  ExpectError({"grupo", "crear", "3", "Otro"}, 1000, "vornexa grupo crear",
              "El grupo 3 ya existe en la empresa 1");
  EXPECT_EQ(Json({"grupo", "ver", "3"}),
            JsonValue::parse(R"({"Codigo": 3, "Nombre": "Clientes, nacionales"})"));
  EXPECT_EQ(Ok({"grupo", "renombrar", "3", "Clientes"}), "Grupo 3 «Clientes» renombrado.\n");
  Ok({"cuenta", "guardar", "43.1", "--grupo", "3"});
  EXPECT_EQ(Json({"grupo", "listar"}),
            JsonValue::parse(R"([{"Codigo": 3, "Nombre": "Clientes", "cuentas": 1}])"));
  ExpectError({"grupo", "eliminar", "3"}, 1000, "clsGrupos::Eliminar",
              "No se puede eliminar el grupo por tener cuentas asociadas");
  Ok({"cuenta", "guardar", "43.1", "--grupo", "0"});
  EXPECT_EQ(Ok({"grupo", "eliminar", "3"}), "Grupo 3 eliminado.\n");
  ExpectError({"grupo", "ver", "3"}, 1000, "vornexa grupo ver",
              "El grupo 3 no existe en la empresa 1");
  ExpectError({"grupo", "renombrar", "3", "x"}, 1000, "vornexa grupo renombrar",
              "El grupo 3 no existe en la empresa 1");
}

}  // namespace
}  // namespace vornexa::cli::testing
