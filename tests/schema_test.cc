// The nine tables: keys, defaults, and the SQL Server script kept in step.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/fixtures.h"
#include "vornexa/schema/schema.h"

namespace vornexa::testing {
namespace {

class Schema : public BackendTest {};

TEST_P(Schema, CreatingTwiceLeavesTablesAndRowsAlone) {
  InsertAccountRow(1, 5, "572", "Bancos");
  CreateSchema(*database_);
  EXPECT_EQ(Count("SELECT Cuenta FROM Cuentas"), 1);
}

TEST_P(Schema, RowsStartFromTheirDefaultsUnderTheirKeys) {
  Exec("INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta) VALUES (1, 5, '572')");
  EXPECT_EQ(Scalar("SELECT Nombre AS v FROM Cuentas"), "");
  EXPECT_EQ(Scalar("SELECT IDMandato AS v FROM Cuentas"), "");
  EXPECT_EQ(Scalar("SELECT F_Cp AS v FROM Cuentas"), "0");
  // The same code in another exercise is another row; in the same one it is refused.
  Exec("INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta) VALUES (1, 6, '572')");
  EXPECT_EQ(CaughtError([&] {
              Exec("INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta) VALUES (1, 5, '572')");
            }).Number(),
            error_number::kConstraintViolation);
  // Accumulator rows start at zero amounts; registry rows with their Nif alone.
  Exec("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel) VALUES (1, 5, '572', 3)");
  EXPECT_EQ(Scalar("SELECT Apertura + D1 + D12 - H1 - H12 AS v FROM Acumulados"), "0");
  Exec("INSERT INTO Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta, Nivel) VALUES (1, 5, 2, '572', 3)");
  EXPECT_EQ(Scalar("SELECT D7 AS v FROM Acumulados_Dpto"), "0");
  Exec("INSERT INTO Razon_Social (Nif) VALUES ('B12345678')");
  EXPECT_EQ(Scalar("SELECT Nombre AS v FROM Razon_Social"), "NULL");
  EXPECT_EQ(Scalar("SELECT CP AS v FROM Razon_Social"), "NULL");
}

VORNEXA_ON_ALL_BACKENDS(Schema);

TEST(SchemaScript, SqlServerScriptMatchesTheSchema) {
  const char* source_dir = std::getenv("VORNEXA_SOURCE_DIR");
  ASSERT_NE(source_dir, nullptr) << "run through CTest, which sets VORNEXA_SOURCE_DIR";
  std::ifstream file(std::string(source_dir) + "/vornexa/schema/sqlserver.sql");
  ASSERT_TRUE(file) << "vornexa/schema/sqlserver.sql is missing";
  std::string line, body;
  while (std::getline(file, line)) {
    if (line.rfind("--", 0) != 0) body += line + "\n";
  }
  std::string expected;
  for (const std::string& statement : SchemaStatements(Dialect::SqlServer)) {
    expected += statement + "\nGO\n";
  }
  EXPECT_EQ(body, expected) << "regenerate vornexa/schema/sqlserver.sql from SchemaStatements";
}

TEST(SchemaScript, AmountsAreMoneyOnSqlServer) {
  const std::vector<std::string> statements = SchemaStatements(Dialect::SqlServer);
  EXPECT_NE(statements.front().find("CREATE TABLE Cuentas ("), std::string::npos);
  size_t money = 0;
  for (const std::string& s : statements) {
    for (size_t at = s.find(" money "); at != std::string::npos; at = s.find(" money ", at + 1)) ++money;
  }
  EXPECT_EQ(money, 25u + 25u + 2u + 1u);  // Acumulados, Acumulados_Dpto, Debe/Haber, Importe
}

}  // namespace
}  // namespace vornexa::testing
