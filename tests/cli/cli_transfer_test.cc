// importar and exportar.
#include <sys/stat.h>

#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

class CliTransferTest : public SeededCliTest {
 protected:
  JsonValue Names() {  // code -> name of every detail account
    JsonValue names = JsonValue::object();
    for (const auto& row : Json({"cuenta", "listar", "--nivel", "5"})) {
      names[row["Cuenta"].get<std::string>()] = row["Nombre"];
    }
    return names;
  }
};

TEST_F(CliTransferTest, ImportSavesEachRowWholeOrReportsItAtItsOwnLine) {
  // Quoted commas, quotes, line breaks and a CR, a child before its upper
  // account; and bad rows, one split by a CR outside quotes.
  WriteFile("cuentas.csv",
            "Cuenta,Nombre,Cp\r\n43000009,\"Con, coma\",46001\r\n4399.1,Sin superior,0\r\n"
            "43000010,\"\"\"Comillas\"\"\",abc\r\n43000011,Malo\"s,1\r\n\r\n"
            "43000012,\"Dos\r\nlíneas\",2\r\n43000013,solo dos\r\n43000014,Medio\rpartido,4\r\n"
            "43000015,\"Con\rCR\",5\r\n44000001,Hija,4\r\n44,Madre,0\r\n440,A,0\r\n4400,B,0\r\n");
  const CliResult result = Run({"importar", "cuentas.csv"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out, "Importadas 7 de 12 cuentas de 'cuentas.csv'; 5 con errores.\n");
  const std::string bad_csv = "CSV mal formado: ";
  const struct {
    int line, number;
    std::string source, description;
  } errors[] = {
      {3, 1000, "Cuentas::Insertar",
       "No se ha creado la cuenta de nivel superior. Debe crear : 4399 en ejercicio: 2025"},
      {4, 13, "vornexa importar", "El campo Cp debe ser un número entero: 'abc'"},
      {5, 1000, "vornexa importar",
       bad_csv + "comillas mal colocadas: un campo entre comillas debe ir entero entre ellas y "
                 "duplicar las comillas interiores"},
      {9, 1000, "vornexa importar", "La línea tiene 2 campos y la cabecera 3"},
      {10, 1000, "vornexa importar",
       bad_csv + "retorno de carro (CR) suelto fuera de comillas: un campo que lo lleve va entre "
                 "comillas"},
  };
  std::string expected;
  for (const auto& e : errors) {
    expected += "línea " + std::to_string(e.line) + ": " + ErrorLine(e.number, e.source, e.description);
  }
  EXPECT_EQ(result.err, expected + ErrorLine(1000, "vornexa importar",
                                             "5 de 12 líneas no se importaron"));
  EXPECT_EQ(Names(), JsonValue::parse(R"({"43000009": "Con, coma", "43000012": "Dos\r\nlíneas",
      "43000015": "Con\rCR", "44000001": "Hija"})"));
}

TEST_F(CliTransferTest, ImportReportsAsJsonAndKeepsTheFieldsTheFileDoesNotName) {
  WriteFile("cuentas.csv", "cuenta,NOMBRE\n43.1,Bien\n43.2\n");
  const CliResult result = Run({"--json", "importar", "cuentas.csv"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(JsonValue::parse(result.out), JsonValue::parse(R"({"lineas": 2, "importadas": 1,
      "errores": [{"linea": 3, "numero": 1000, "origen": "vornexa importar",
                   "descripcion": "La línea tiene 1 campos y la cabecera 2"}]})"));
  EXPECT_EQ(Names(), JsonValue::parse(R"({"43000001": "Bien"})"));
  // From standard input; Nivel follows from the code, whatever the file says.
  Ok({"cuenta", "guardar", "43.7", "--nombre", "Cliente", "--nif", "B7"});
  const CliResult piped = Run({"importar", "-"}, "Telefono,Cuenta,Nivel\n963 000 007,43000007,9\n");
  EXPECT_EQ(piped.out, "Importadas 1 de 1 cuentas de '-'.\n") << piped.err;
  ExpectFields("43.7", R"({"Telefono": "963 000 007", "Nombre": "Cliente", "Nif": "B7",
      "IdMandato": "0143000007", "Nivel": 5})");
  // The default mandate id is shown, not stored.
  EXPECT_EQ(Scalar("SELECT IDMandato AS v FROM Cuentas WHERE Cuenta = '43000007'"), "");
}

TEST_F(CliTransferTest, ExportImportsBackToTheSameChart) {
  Ok({"init", "--pgc"});
  Ok({"cuenta", "guardar", "43.1", "--nombre", " Blancos, \"comillas\" y O'Brien ", "--cp",
      "46001", "--direccion", "Calle Mayor, 1\n2º", "--grupo", "-3", "--id-mandato", "M-1"});
  Ok({"cuenta", "guardar", "43.2", "--nombre", "Banco", "--id-mandato", "0143000002"});
  const std::string exported = Ok({"exportar"});
  EXPECT_EQ(Ok({"exportar", "plan.csv"}), "Exportadas 905 cuentas a 'plan.csv'.\n");
  EXPECT_EQ(ReadFile("plan.csv"), exported);
  // The default mandate id stays implicit.
  EXPECT_NE(exported.find("\n43000002,,,,Banco,,,0,,,,,,,,,,,,,,,0,,,,,,,0,0,,0,0,,,,0,0,0,0,0,0\n"),
            std::string::npos);
  Run({"--db", "copia.db", "--ejercicio", "2025", "init"});
  EXPECT_EQ(Ok({"--db", "copia.db", "importar", "plan.csv"}),
            "Importadas 905 de 905 cuentas de 'plan.csv'.\n");
  EXPECT_EQ(Ok({"--db", "copia.db", "exportar"}), exported);
  // A range exports only its accounts: in code order, a block of the whole.
  const size_t header_end = exported.find('\n') + 1, first = exported.find("\n43,") + 1;
  EXPECT_EQ(Ok({"exportar", "--desde", "43", "--hasta", "430"}),
            exported.substr(0, header_end) +
                exported.substr(first, exported.find("\n431,") + 1 - first));
}

TEST_F(CliTransferTest, ExportNeverOverwritesTheDatabaseNorLeavesAHalfFile) {
  std::filesystem::create_directory(Path("sub"));
  std::filesystem::create_symlink("vornexa.db", Path("enlace.csv"));
  std::filesystem::create_hard_link(Path("vornexa.db"), Path("duro.csv"));
  const std::string database = ReadFile("vornexa.db");
  for (const std::string& target : std::vector<std::string>{
           "vornexa.db", "./vornexa.db", "sub/../vornexa.db", "no/../vornexa.db",
           Path("vornexa.db"), "enlace.csv", "duro.csv", "vornexa.db-wal", "vornexa.db-shm",
           "vornexa.db-journal"}) {
    ExpectError({"exportar", target}, 1000, "vornexa exportar",
                "'" + target + "' es la base de datos 'vornexa.db' o uno de sus ficheros: la "
                "exportación va a otro fichero");
  }
  EXPECT_EQ(ReadFile("vornexa.db"), database);
  EXPECT_FALSE(std::filesystem::exists(Path("vornexa.db-journal")));

  // A failed export leaves an existing file as it was, and no other file.
  WriteFile("plan.csv", "antes\n");
  chmod(Path("plan.csv").c_str(), 0640);
  Open()->Execute("UPDATE Cuentas SET Cp = 'x' WHERE Cuenta = '4300'");
  EXPECT_EQ(Run({"exportar", "plan.csv"}).exit_code, 1);
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
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    EXPECT_NE(entry.path().filename().string().rfind(".plan.csv", 0), 0u) << entry.path();
  }
}

}  // namespace
}  // namespace vornexa::cli::testing
