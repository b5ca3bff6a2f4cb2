// importar and exportar; and the longest writes killed at random moments: the
// unit each command promises is there whole or not at all.
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

// A fresh tmpfs of `size`, unmounted at the end of the test. Mounting needs
// privileges the test may not have.
class ScratchMount {
 public:
  explicit ScratchMount(const char* size)
      : mounted_(mount("vornexa-test", folder_.path().c_str(), "tmpfs", 0,
                       (std::string("size=") + size).c_str()) == 0) {}
  ~ScratchMount() {
    if (mounted_) umount2(folder_.path().c_str(), MNT_DETACH);
  }
  const vornexa::testing::ScratchFolder folder_;
  const bool mounted_;
};

// Runs `body` while a child process holds the lock that `statements` take
// on the database at `path`; the lock goes with the child.
void WhileLockedElsewhere(const std::string& path, const std::vector<std::string>& statements,
                          const std::function<void()>& body) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    const std::shared_ptr<Connection> connection = OpenSqlite(path);
    for (const std::string& statement : statements) connection->Execute(statement);
    if (write(ready[1], "x", 1) == 1) pause();
    _exit(0);
  }
  char taken;
  ASSERT_EQ(read(ready[0], &taken, 1), 1) << "no process took the lock";
  body();
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  close(ready[0]), close(ready[1]);
}

class CliTransferTest : public SeededCliTest {
 protected:
  // Runs `args` on an empty chart `rounds` times, killed at a random moment of a
  // whole run's time; each time the database is sound with no account or `whole`.
  void KillAtRandom(const Args& args, int rounds, const std::string& whole) {
    KillAtRandomMoments(
        args, rounds,
        [&] {
          Open()->Execute("DELETE FROM Acumulados");
          Open()->Execute("DELETE FROM Cuentas");
        },
        [&] {
          const std::string accounts = Scalar("SELECT COUNT(*) AS v FROM Cuentas");
          EXPECT_TRUE(accounts == "0" || accounts == whole) << accounts;
          EXPECT_EQ(Scalar("SELECT COUNT(*) AS v FROM Acumulados"), accounts);
        });
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
  const std::string importar = "vornexa importar", bad_csv = "CSV mal formado: ";
  // As they come; a row whose upper account never comes, after the file.
  EXPECT_EQ(result.err,
            "línea 4: " + ErrorLine(13, importar, "El campo Cp debe ser un número entero: 'abc'") +
            "línea 5: " + ErrorLine(1000, importar, bad_csv + "comillas mal colocadas: un campo "
                                    "entre comillas debe ir entero entre ellas y duplicar las "
                                    "comillas interiores") +
            "línea 9: " + ErrorLine(1000, importar, "La línea tiene 2 campos y la cabecera 3") +
            "línea 10: " + ErrorLine(1000, importar, bad_csv + "retorno de carro (CR) suelto fuera "
                                     "de comillas: un campo que lo lleve va entre comillas") +
            "línea 3: " + ErrorLine(1000, "Cuentas::Insertar", "No se ha creado la cuenta de nivel "
                                    "superior. Debe crear : 4399 en ejercicio: 2025") +
            ErrorLine(1000, importar, "5 de 12 líneas no se importaron"));
  JsonValue names = JsonValue::object();  // code -> name of every detail account
  for (const auto& row : Json({"cuenta", "listar", "--nivel", "5"})) {
    names[row["Cuenta"].get<std::string>()] = row["Nombre"];
  }
  EXPECT_EQ(names, JsonValue::parse(R"({"43000009": "Con, coma", "43000012": "Dos\r\nlíneas",
      "43000015": "Con\rCR", "44000001": "Hija"})"));
  const CliResult json = Run({"--json", "importar", "-"}, "cuenta,NOMBRE\n43.1,Bien\n43.2\n");
  EXPECT_EQ(json.exit_code, 1);
  EXPECT_EQ(JsonValue::parse(json.out), JsonValue::parse(R"({"lineas": 2, "importadas": 1,
      "errores": [{"linea": 3, "numero": 1000, "origen": "vornexa importar",
                   "descripcion": "La línea tiene 1 campos y la cabecera 2"}]})"));
  // Fields the file leaves out keep their values; Nivel follows from the code.
  Ok({"cuenta", "guardar", "43.7", "--nombre", "Cliente", "--nif", "B7"});
  EXPECT_EQ(Ok({"importar", "-"}, "Telefono,Cuenta,Nivel\n963 000 007,43000007,9\n"),
            "Importadas 1 de 1 cuentas de '-'.\n");
  ExpectFields("43.7", R"({"Telefono": "963 000 007", "Nombre": "Cliente", "Nif": "B7",
      "IdMandato": "0143000007", "Nivel": 5})");
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
  EXPECT_NE(exported.find("\n43000002,,,,Banco,,,0,,,,,,,,,,,,,,,0,,,,,,,0,0,,0,0,,,,0,0,0,0,0,0"),
            std::string::npos);
  Run({"--db", "copia.db", "--ejercicio", "2025", "init"});
  EXPECT_EQ(Ok({"--db", "copia.db", "importar", "plan.csv"}),
            "Importadas 905 de 905 cuentas de 'plan.csv'.\n");
  EXPECT_EQ(Ok({"--db", "copia.db", "exportar"}), exported);
}

TEST_F(CliTransferTest, ExportNeverOverwritesTheDatabaseNorLeavesAHalfFile) {
  std::filesystem::create_symlink("vornexa.db", Path("enlace.csv"));
  std::filesystem::create_hard_link(Path("vornexa.db"), Path("duro.csv"));
  std::filesystem::create_hard_link(Path("vornexa.db"), Path("otro.db"));
  const std::string database = ReadFile("vornexa.db"), exportar = "vornexa exportar";
  // otro.db-wal: the WAL of a connection through the database's other name.
  for (const std::string& target : std::vector<std::string>{
           "vornexa.db", "./vornexa.db", "no/../vornexa.db", Path("vornexa.db"), "enlace.csv",
           "duro.csv", "vornexa.db-wal", "vornexa.db-journal", "otro.db-wal", "otro.db-shm"}) {
    Expect({"exportar", target}, 1, "",
           ErrorLine(1000, exportar, "'" + target + "' es la base de datos 'vornexa.db' o uno de "
                                     "sus ficheros: la exportación va a otro fichero"));
  }
  EXPECT_EQ(ReadFile("vornexa.db"), database);

  // A failed export leaves an existing file as it was, and no other file.
  WriteFile("plan.csv", "antes\n");
  std::filesystem::permissions(Path("plan.csv"), std::filesystem::perms(0640));
  Open()->Execute("UPDATE Cuentas SET Cp = 'x' WHERE Cuenta = '4300'");
  EXPECT_EQ(Run({"exportar", "plan.csv"}).exit_code, 1);
  EXPECT_EQ(ReadFile("plan.csv"), "antes\n");
  Open()->Execute("UPDATE Cuentas SET Cp = 0 WHERE Cuenta = '4300'");
  Expect({"exportar", "/dev/full"}, 1, "",
         ErrorLine(1000, exportar, "No se pudo escribir '/dev/full' (No space left on device)"));
  Expect({"exportar", "falta/plan.csv"}, 1, "",
         ErrorLine(1000, exportar, "No se pudo escribir el fichero 'falta/plan.csv': no se puede "
                                   "crear un fichero en su carpeta (No such file or directory); "
                                   "no se ha cambiado"));
  // A successful one replaces it whole, keeping its permissions.
  EXPECT_EQ(Ok({"exportar", "plan.csv"}), "Exportadas 4 cuentas a 'plan.csv'.\n");
  EXPECT_EQ(ReadFile("plan.csv"), Ok({"exportar"}));
  EXPECT_EQ(std::filesystem::status(Path("plan.csv")).permissions(), std::filesystem::perms(0640));
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    EXPECT_NE(entry.path().filename().string().rfind(".plan.csv", 0), 0u) << entry.path();
  }
}

// The database locked by another process beyond the wait, the disk filling
// up, a file that is no chart: the import fails once, saying why, and saves
// nothing.
TEST_F(CliTransferTest, ImportSavesNothingWhenTheDatabaseOrTheFileFails) {
  WriteFile("cuentas.csv", "Cuenta,Nombre\n43000001,A\n43000002,B\n43000003,C\n");
  WriteFile("larga.csv", "Cuenta,Nombre\n43000001,A\n43000002," + std::string(70000, 'x') + "\n");
  const std::string in_use = "La base de datos 'vornexa.db' está en uso: otra conexión ",
                    waited = " y no la soltó en 0,1 s; vuelva a intentarlo cuando termine "
                             "(database is locked)",
                    too_long = " pasa de 65536 bytes, lo más que ocupa una línea (o un registro "
                               "con saltos de línea entre comillas): no es un fichero de cuentas";
  const struct {
    std::vector<std::string> lock;  // taken by another process
    Args args;
    std::string err;
  } cases[] = {
      {{"BEGIN IMMEDIATE"}, {"importar", "cuentas.csv"},
       ErrorLine(-2147217900, "vornexa importar", "No se ha importado nada de 'cuentas.csv': " +
                 in_use + "está escribiendo en ella (tiene el bloqueo de escritura)" + waited)},
      {{"PRAGMA locking_mode=EXCLUSIVE", "BEGIN EXCLUSIVE", "DELETE FROM Cuentas_Grupos"},
       {"importar", "cuentas.csv"},
       ErrorLine(-2147217900, "Vornexa.Data", in_use + "la tiene bloqueada en exclusiva (ni "
                 "siquiera se puede leer)" + waited)},
      {{}, {"importar", "larga.csv"}, ErrorLine(1000, "vornexa importar", "La línea 3" + too_long)},
      {{}, {"importar", "/dev/zero"}, ErrorLine(1000, "vornexa importar", "La línea 1" + too_long)},
  };
  environment_ = {{"VORNEXA_BUSY_TIMEOUT_MS", "100"}};
  for (const auto& c : cases) {
    WhileLockedElsewhere(Path("vornexa.db"), c.lock, [&] {
      const CliResult result = Run(c.args, "", "timeout -s KILL 60");
      EXPECT_EQ(std::make_tuple(result.exit_code, result.out, result.err),
                std::make_tuple(1, "", c.err));
    });
  }
  EXPECT_EQ(Scalar("SELECT COUNT(*) AS v FROM Cuentas"), "4");

  const ScratchMount disk("1m");
  if (!disk.mounted_) GTEST_SKIP() << "a full disk is not tried: mounting a tmpfs is not permitted";
  const std::string full = disk.folder_.Path("lleno.db");
  Ok({"--db", full, "--ejercicio", "2025", "init"});
  std::string csv = "Cuenta,Nombre\n4,A\n43,B\n430,C\n4300,D\n";
  for (int i = 1; i <= 9999; ++i) csv += std::to_string(43000000 + i) + "," + Repeat("x", 150) + "\n";
  WriteFile("grande.csv", csv);
  const CliResult result = Run({"--db", full, "importar", "grande.csv"});
  EXPECT_EQ(result.exit_code, 1);
  const std::string last = result.err.substr(result.err.rfind('\n', result.err.size() - 2) + 1);
  EXPECT_TRUE(last.starts_with("error -2147217900 (vornexa importar): No se ha importado nada de "
                               "'grande.csv': ") &&
              last.find("No queda espacio en el disco") != std::string::npos) << result.err;
  EXPECT_EQ(OpenSqlite(full)->Open("SELECT COUNT(*) AS v FROM Cuentas")->Field("v").ToText(), "0");
}

TEST_F(CliTransferTest, KilledInitWithChartAndImportAreWholeOrAbsent) {
  KillAtRandom({"init", "--pgc"}, 4, "903");  // the chart in one transaction
  // importar: every row of the file in one transaction.
  std::string csv = "Cuenta,Nombre\n4,A\n43,B\n430,C\n4300,D\n";
  for (int i = 1; i <= 600; ++i) csv += std::to_string(43000000 + i) + ",Cliente\n";
  WriteFile("cuentas.csv", csv);
  KillAtRandom({"importar", "cuentas.csv"}, 4, "604");
}

}  // namespace
}  // namespace vornexa::cli::testing
