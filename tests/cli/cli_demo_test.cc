// The demo: its tour on a fresh folder, in a database of its own.
#include "tests/cli/cli_runner.h"

namespace vornexa::cli::testing {
namespace {

using CliDemoTest = CliTest;

TEST_F(CliDemoTest, BuildsItsOwnDatabaseAndNeverOverwritesOneByAccident) {
  const std::string tour = Ok({"demo"});
  for (int section = 1; section <= 11; ++section) {
    EXPECT_NE(tour.find("\n" + std::to_string(section) + ". "), std::string::npos) << section;
  }
  // The commands it suggests work on what it built.
  EXPECT_EQ(Json({"--db", "vornexa-demo.db", "cuenta", "ver", "43.1"})["Nombre"],
            "Comercial Turia, S.A.");
  // VORNEXA_DB and VORNEXA_ODBC name the user's database: the demo keeps to
  // its own file, which it replaces on every run.
  WriteFile("mine.db", "precious");
  environment_ = {{"VORNEXA_DB", "mine.db"}, {"VORNEXA_ODBC", "x"}};
  EXPECT_EQ(Ok({"demo"}), tour);
  EXPECT_EQ(ReadFile("mine.db"), "precious");
  environment_.clear();
  ExpectError({"--db", "mine.db", "demo"}, 1000, "vornexa demo",
              "El fichero 'mine.db' ya existe; la demostración crea una base de datos nueva "
              "(añada --reemplazar para sustituirlo)");
  Ok({"--db", "mine.db", "demo", "--reemplazar"});
  EXPECT_NE(ReadFile("mine.db"), "precious");
}

}  // namespace
}  // namespace vornexa::cli::testing
