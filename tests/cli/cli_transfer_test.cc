// importar and exportar.
#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

class CliTransferTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    Ok({"--ejercicio", "2025", "init"});
    for (const char* code : {"4", "43", "430", "4300"}) Ok({"cuenta", "guardar", code});
  }
};

TEST_F(CliTransferTest, ImportReportsEachBadLineAndSavesTheRest) {
  // Quoted commas and quotes, a field over two lines, a child before its
  // upper account, and four bad lines.
  WriteFile("cuentas.csv",
            "Cuenta,Nombre,Cp,Nif\r\n"
            "43000009,\"Cliente, con coma\",46001,B1\r\n"
            "4399.1,Sin cuenta superior,0,\r\n"
            "43000010,\"Comillas \"\"dobles\"\"\",abc,\r\n"
            "43000011,Malo\"s,1,\r\n"
            "\r\n"
            "43000012,\"Dos\r\nlíneas\",2,B2\r\n"
            "43000013,solo tres,3\r\n"
            "44000001,Hija antes que la madre,4,\r\n"
            "44,Madre,0,\r\n"
            "440,Abuela,0,\r\n"
            "4400,Bisabuela,0,\r\n");
  const CliResult result = Run({"importar", "cuentas.csv"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out, "Importadas 6 de 10 cuentas de 'cuentas.csv'; 4 con errores.\n");
  EXPECT_EQ(result.err,
            "línea 3: " +
                ErrorLine(1000, "Cuentas::Insertar",
                          "No se ha creado la cuenta de nivel superior. Debe crear : 4399 en "
                          "ejercicio: 2025") +
                "línea 4: " +
                ErrorLine(13, "vornexa importar",
                          "El campo Cp debe ser un número entero: 'abc'") +
                "línea 5: " +
                ErrorLine(1000, "vornexa importar",
                          "CSV mal formado: comillas mal colocadas: un campo entre comillas debe "
                          "ir entero entre ellas y duplicar las comillas interiores") +
                "línea 9: " +
                ErrorLine(1000, "vornexa importar", "La línea tiene 3 campos y la cabecera 4") +
                ErrorLine(1000, "vornexa importar", "4 de 10 líneas no se importaron"));

  const JsonValue quoted = Json({"cuenta", "ver", "43000009"});
  EXPECT_EQ(quoted["Nombre"], "Cliente, con coma");
  EXPECT_EQ(quoted["Cp"], 46001);
  EXPECT_EQ(Json({"cuenta", "ver", "43.12"})["Nombre"], "Dos\r\nlíneas");
  EXPECT_EQ(Json({"cuenta", "ver", "44.1"})["Nivel"], 5);
  for (const char* code : {"43990001", "43000010", "43000011", "43000013"}) {
    EXPECT_EQ(Json({"cuenta", "existe", code})["existe"], false) << code;
  }
}

TEST_F(CliTransferTest, ImportReportAsJson) {
  WriteFile("cuentas.csv", "cuenta,NOMBRE\n43.1,Bien\n43.2\n");
  const CliResult result = Run({"--json", "importar", "cuentas.csv"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(JsonValue::parse(result.out), JsonValue::parse(R"({"lineas": 2, "importadas": 1,
      "errores": [{"linea": 3, "numero": 1000, "origen": "vornexa importar",
                   "descripcion": "La línea tiene 1 campos y la cabecera 2"}]})"));
}

TEST_F(CliTransferTest, ImportRefusesABadHeaderBeforeSavingAnything) {
  const struct {
    std::string csv;
    std::string description;
  } cases[] = {
      {"Cuenta,Nombre,Color\n43.1,x,rojo\n",
       "La cabecera nombra un campo que no existe: 'Color' (los campos son los de la cuenta: "
       "Cuenta, Nombre, Nif...)"},
      {"Nombre\nx\n", "La cabecera debe nombrar el campo Cuenta"},
      {"Cuenta,Nombre,nombre\n43.1,x,y\n", "La cabecera nombra dos veces el campo Nombre"},
      {"", "El fichero está vacío: falta la cabecera"},
  };
  for (const auto& c : cases) {
    WriteFile("cuentas.csv", c.csv);
    ExpectError({"importar", "cuentas.csv"}, 1000, "vornexa importar", c.description);
  }
  ExpectError({"importar", "no-existe.csv"}, 1000, "vornexa importar",
              "No se puede leer el fichero 'no-existe.csv'");
  EXPECT_EQ(Json({"cuenta", "existe", "43.1"})["existe"], false);
}

TEST_F(CliTransferTest, ImportFromStandardInputKeepsTheFieldsTheFileDoesNotName) {
  Ok({"cuenta", "guardar", "43.7", "--nombre", "Cliente", "--nif", "B7", "--cp", "46007"});
  const CliResult result =
      Run({"importar", "-"}, "Telefono,Cuenta,Nivel\n963 000 007,43000007,9\n");
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "Importadas 1 de 1 cuentas de '-'.\n");
  // Nivel follows from the code, whatever the file says.
  const JsonValue expected = JsonValue::parse(R"({"Telefono": "963 000 007", "Nombre": "Cliente",
      "Nif": "B7", "Cp": 46007, "IdMandato": "0143000007", "Nivel": 5})");
  const JsonValue account = Json({"cuenta", "ver", "43.7"});
  for (const auto& [field, value] : expected.items()) EXPECT_EQ(account[field], value) << field;
  // The default mandate id is shown, not stored.
  const auto stored = Open()->Open("SELECT IDMandato AS v FROM Cuentas WHERE Cuenta = '43000007'");
  EXPECT_EQ(stored->Field("v").ToText(), "");
}

TEST_F(CliTransferTest, ExportImportsBackToTheSameChart) {
  Ok({"init", "--pgc"});
  Ok({"cuenta", "guardar", "43.1", "--nombre", " Blancos, \"comillas\" y O'Brien ", "--nif",
      "B12345678", "--cp", "46001", "--f-cp", "99999", "--direccion", "Calle Mayor, 1\n2º",
      "--grupo", "-3", "--iban", "ES7620770024003102575766", "--id-mandato", "MANDATO-1",
      "--tipo-irpf", "15", "--email", "a@b.es"});
  Ok({"cuenta", "guardar", "43.2", "--nombre", "Banco", "--id-mandato", "0143000002"});
  const std::string exported = Ok({"exportar"});
  EXPECT_EQ(Ok({"exportar", "plan.csv"}), "Exportadas 905 cuentas a 'plan.csv'.\n");
  EXPECT_EQ(ReadFile("plan.csv"), exported);
  // The default mandate id stays implicit.
  EXPECT_NE(exported.find("\n43000002,,,,Banco,,,0,,,,,,,,,,,,,,,0,,,,,,,0,0,,0,0,,,,0,0,0,0,0,0\n"),
            std::string::npos);

  RunProgram(dir_, {"--db", "copia.db", "--ejercicio", "2025", "init"});
  const CliResult imported = Run({"--db", "copia.db", "importar", "plan.csv"});
  EXPECT_EQ(imported.exit_code, 0) << imported.err;
  EXPECT_EQ(imported.out, "Importadas 905 de 905 cuentas de 'plan.csv'.\n");
  EXPECT_EQ(Ok({"--db", "copia.db", "exportar"}), exported);
  EXPECT_EQ(Json({"--db", "copia.db", "cuenta", "ver", "43.1"}), Json({"cuenta", "ver", "43.1"}));
  EXPECT_EQ(Json({"--db", "copia.db", "cuenta", "ver", "43.1"})["Nombre"],
            " Blancos, \"comillas\" y O'Brien ");

  // A range exports only its accounts: in code order, a block of the whole.
  const std::string range = Ok({"exportar", "--desde", "43", "--hasta", "430"});
  const size_t header_end = exported.find('\n') + 1;
  const size_t first = exported.find("\n43,") + 1;
  const size_t after = exported.find("\n431,") + 1;
  EXPECT_EQ(range, exported.substr(0, header_end) + exported.substr(first, after - first));
}

}  // namespace
}  // namespace vornexa::cli::testing
