// importar and exportar.
#include <sys/stat.h>

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
  std::string Exists(const std::string& code) {
    return Json({"cuenta", "existe", code})["existe"] ? "sí" : "no";
  }
};

TEST_F(CliTransferTest, ImportSavesEachRowWholeOrReportsItAtItsOwnLine) {
  // Quoted commas and quotes, fields over two lines, a CR inside quotes, a
  // child before its upper account, and five bad rows.
  WriteFile("cuentas.csv",
            "Cuenta,Nombre,Cp,Nif\r\n"
            "43000009,\"Cliente, con coma\",46001,B1\r\n"
            "4399.1,Sin cuenta superior,0,\r\n"
            "43000010,\"Comillas \"\"dobles\"\"\",abc,\r\n"
            "43000011,Malo\"s,1,\r\n"
            "\r\n"
            "43000012,\"Dos\r\nlíneas\",2,B2\r\n"
            "43000013,solo tres,3\r\n"
            "43000014,Medio\rpartido,4,B4\r\n"
            "43000015,\"Con\rCR\",5,\r\n"
            "44000001,Hija antes que la madre,4,\r\n"
            "44,Madre,0,\r\n"
            "440,Abuela,0,\r\n"
            "4400,Bisabuela,0,\r\n");
  const CliResult result = Run({"importar", "cuentas.csv"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out, "Importadas 7 de 12 cuentas de 'cuentas.csv'; 5 con errores.\n");
  const std::string malformed = "CSV mal formado: ";
  EXPECT_EQ(result.err,
            "línea 3: " + ErrorLine(1000, "Cuentas::Insertar",
                                    "No se ha creado la cuenta de nivel superior. Debe crear : "
                                    "4399 en ejercicio: 2025") +
            "línea 4: " + ErrorLine(13, "vornexa importar",
                                    "El campo Cp debe ser un número entero: 'abc'") +
            "línea 5: " + ErrorLine(1000, "vornexa importar",
                                    malformed + "comillas mal colocadas: un campo entre comillas "
                                    "debe ir entero entre ellas y duplicar las comillas "
                                    "interiores") +
            "línea 9: " + ErrorLine(1000, "vornexa importar",
                                    "La línea tiene 3 campos y la cabecera 4") +
            "línea 10: " + ErrorLine(1000, "vornexa importar",
                                     malformed + "retorno de carro (CR) suelto fuera de "
                                     "comillas: un campo que lo lleve va entre comillas") +
            ErrorLine(1000, "vornexa importar", "5 de 12 líneas no se importaron"));
  const JsonValue quoted = Json({"cuenta", "ver", "43000009"});
  EXPECT_EQ(quoted["Nombre"], "Cliente, con coma");
  EXPECT_EQ(quoted["Cp"], 46001);
  EXPECT_EQ(Json({"cuenta", "ver", "43.12"})["Nombre"], "Dos\r\nlíneas");
  EXPECT_EQ(Json({"cuenta", "ver", "43.15"})["Nombre"], "Con\rCR");
  EXPECT_EQ(Json({"cuenta", "ver", "44.1"})["Nivel"], 5);
  for (const char* code : {"43990001", "43000010", "43000011", "43000013", "43000014"}) {
    EXPECT_EQ(Exists(code), "no") << code;
  }
  EXPECT_EQ(Scalar("SELECT COUNT(*) AS v FROM Cuentas WHERE Nombre LIKE 'partido%' OR "
                   "Cuenta LIKE 'partido%'"), "0");
}

TEST_F(CliTransferTest, ImportReportsAsJsonAndRefusesABadHeaderBeforeSavingAnything) {
  WriteFile("cuentas.csv", "cuenta,NOMBRE\n43.1,Bien\n43.2\n");
  const CliResult result = Run({"--json", "importar", "cuentas.csv"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(JsonValue::parse(result.out), JsonValue::parse(R"({"lineas": 2, "importadas": 1,
      "errores": [{"linea": 3, "numero": 1000, "origen": "vornexa importar",
                   "descripcion": "La línea tiene 1 campos y la cabecera 2"}]})"));
  const struct {
    std::string csv, description;
  } cases[] = {
      {"Cuenta,Nombre,Color\n43.3,x,rojo\n",
       "La cabecera nombra un campo que no existe: 'Color' (los campos son los de la cuenta: "
       "Cuenta, Nombre, Nif...)"},
      {"Nombre\nx\n", "La cabecera debe nombrar el campo Cuenta"},
      {"Cuenta,Nombre,nombre\n43.3,x,y\n", "La cabecera nombra dos veces el campo Nombre"},
      {"", "El fichero está vacío: falta la cabecera"},
  };
  for (const auto& c : cases) {
    WriteFile("cuentas.csv", c.csv);
    ExpectError({"importar", "cuentas.csv"}, 1000, "vornexa importar", c.description);
  }
  ExpectError({"importar", "no-existe.csv"}, 1000, "vornexa importar",
              "No se puede leer el fichero 'no-existe.csv'");
  EXPECT_EQ(Exists("43.3"), "no");
}

TEST_F(CliTransferTest, ImportFromStandardInputKeepsTheFieldsTheFileDoesNotName) {
  Ok({"cuenta", "guardar", "43.7", "--nombre", "Cliente", "--nif", "B7"});
  const CliResult result = Run({"importar", "-"}, "Telefono,Cuenta,Nivel\n963 000 007,43000007,9\n");
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "Importadas 1 de 1 cuentas de '-'.\n");
  // Nivel follows from the code, whatever the file says.
  const JsonValue expected = JsonValue::parse(R"({"Telefono": "963 000 007", "Nombre": "Cliente",
      "Nif": "B7", "IdMandato": "0143000007", "Nivel": 5})");
  const JsonValue account = Json({"cuenta", "ver", "43.7"});
  for (const auto& [field, value] : expected.items()) EXPECT_EQ(account[field], value) << field;
  // The default mandate id is shown, not stored.
  EXPECT_EQ(Scalar("SELECT IDMandato AS v FROM Cuentas WHERE Cuenta = '43000007'"), "");
}

TEST_F(CliTransferTest, ExportImportsBackToTheSameChart) {
  Ok({"init", "--pgc"});
  Ok({"cuenta", "guardar", "43.1", "--nombre", " Blancos, \"comillas\" y O'Brien ", "--cp",
      "46001", "--direccion", "Calle Mayor, 1\n2º", "--grupo", "-3", "--iban",
      "ES7620770024003102575766", "--id-mandato", "MANDATO-1", "--tipo-irpf", "15"});
  Ok({"cuenta", "guardar", "43.2", "--nombre", "Banco", "--id-mandato", "0143000002"});
  const std::string exported = Ok({"exportar"});
  EXPECT_EQ(Ok({"exportar", "plan.csv"}), "Exportadas 905 cuentas a 'plan.csv'.\n");
  EXPECT_EQ(ReadFile("plan.csv"), exported);
  // The default mandate id stays implicit.
  EXPECT_NE(exported.find("\n43000002,,,,Banco,,,0,,,,,,,,,,,,,,,0,,,,,,,0,0,,0,0,,,,0,0,0,0,0,0\n"),
            std::string::npos);

  RunProgram(dir_, {"--db", "copia.db", "--ejercicio", "2025", "init"});
  const CliResult imported = Run({"--db", "copia.db", "importar", "plan.csv"});
  EXPECT_EQ(imported.out, "Importadas 905 de 905 cuentas de 'plan.csv'.\n") << imported.err;
  EXPECT_EQ(Ok({"--db", "copia.db", "exportar"}), exported);
  EXPECT_EQ(Json({"--db", "copia.db", "cuenta", "ver", "43.1"}), Json({"cuenta", "ver", "43.1"}));

  // A range exports only its accounts: in code order, a block of the whole.
  const std::string range = Ok({"exportar", "--desde", "43", "--hasta", "430"});
  const size_t header_end = exported.find('\n') + 1;
  const size_t first = exported.find("\n43,") + 1;
  const size_t after = exported.find("\n431,") + 1;
  EXPECT_EQ(range, exported.substr(0, header_end) + exported.substr(first, after - first));
}

TEST_F(CliTransferTest, ExportNeverOverwritesTheDatabaseNorLeavesAHalfFile) {
  std::filesystem::create_directory(Path("sub"));
  std::filesystem::create_symlink("vornexa.db", Path("enlace.csv"));
  std::filesystem::create_hard_link(Path("vornexa.db"), Path("duro.csv"));
  const std::string database = ReadFile("vornexa.db");
  for (const std::string& target : std::vector<std::string>{"vornexa.db", "./vornexa.db", "sub/../vornexa.db", "no/../vornexa.db", Path("vornexa.db"),
        "enlace.csv", "duro.csv", "vornexa.db-wal", "vornexa.db-shm", "vornexa.db-journal"}) {
    ExpectError({"exportar", target}, 1000, "vornexa exportar",
                "'" + target + "' es la base de datos 'vornexa.db' o uno de sus ficheros: la "
                "exportación va a otro fichero");
  }
  ExpectError({"--db", "sub/../vornexa.db", "exportar", "duro.csv"}, 1000, "vornexa exportar",
              "'duro.csv' es la base de datos 'sub/../vornexa.db' o uno de sus ficheros: la "
              "exportación va a otro fichero");
  EXPECT_EQ(ReadFile("vornexa.db"), database);
  EXPECT_FALSE(std::filesystem::exists(Path("vornexa.db-journal")));

  // A failed export leaves an existing file as it was, and no other file.
  WriteFile("plan.csv", "antes\n");
  chmod(Path("plan.csv").c_str(), 0640);
  Open()->Execute("UPDATE Cuentas SET Cp = 'x' WHERE Cuenta = '4300'");
  const CliResult failed = Run({"exportar", "plan.csv"});
  EXPECT_EQ(failed.exit_code, 1);
  EXPECT_EQ(failed.out, "");
  EXPECT_EQ(ReadFile("plan.csv"), "antes\n");
  Open()->Execute("UPDATE Cuentas SET Cp = 0 WHERE Cuenta = '4300'");
  ExpectError({"exportar", "/dev/full"}, 1000, "vornexa exportar",
              "No se pudo escribir '/dev/full' (No space left on device)");
  ExpectError({"exportar", "falta/plan.csv"}, 1000, "vornexa exportar",
              "No se pudo escribir el fichero 'falta/plan.csv': no se puede crear un fichero en "
              "su carpeta (No such file or directory); no se ha cambiado");
  // A successful one replaces it whole, keeping its permissions.
  EXPECT_EQ(Ok({"exportar", "plan.csv"}), "Exportadas 4 cuentas a 'plan.csv'.\n");
  EXPECT_EQ(ReadFile("plan.csv"), Ok({"exportar"}));
  struct stat status;
  ASSERT_EQ(stat(Path("plan.csv").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    files += entry.path().filename().string().rfind(".plan.csv", 0) == 0;
  }
  EXPECT_EQ(files, 0u);
}

}  // namespace
}  // namespace vornexa::cli::testing
