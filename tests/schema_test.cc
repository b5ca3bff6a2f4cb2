// The nine tables: keys and defaults, and the SQL Server script kept in step.
// Each account field's column and type are those of the statements checked
// word for word, and of the round trip on every backend, in the maintenance suite.
#include <cstdlib>
#include <fstream>

#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

class Schema : public BackendTest {};

TEST_P(Schema, RowsStartFromTheirDefaultsUnderTheirKeysAndOutliveASecondCreation) {
  const std::string account = "INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta) VALUES ";
  Exec(account + "(1, 5, '572')");
  Exec(account + "(1, 6, '572')");  // another exercise, another row
  Exec("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel) VALUES "
       "(1, 5, '572', 3)");
  Exec("INSERT INTO Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta, Nivel) VALUES "
       "(1, 5, 2, '572', 3)");
  Exec("INSERT INTO Razon_Social (Nif) VALUES ('B12345678')");
  CreateSchema(*database_);
  EXPECT_EQ(CaughtError([&] { Exec(account + "(1, 5, '572')"); }).Number(),
            error_number::kConstraintViolation);
  const std::pair<const char*, const char*> defaults[] = {
      {"SELECT COUNT(*) AS v FROM Cuentas WHERE Nombre = '' AND IDMandato = '' AND F_Cp = 0", "2"},
      {"SELECT Apertura + D1 + D12 - H1 - H12 AS v FROM Acumulados", "0"},
      {"SELECT D7 AS v FROM Acumulados_Dpto", "0"},
      {"SELECT COUNT(*) AS v FROM Razon_Social WHERE Nombre IS NULL AND CP IS NULL", "1"},
  };
  for (const auto& [query, expected] : defaults) EXPECT_EQ(Scalar(query), expected) << query;
}

VORNEXA_ON_ALL_BACKENDS(Schema);

TEST(SchemaScript, SqlServerScriptMatchesTheSchemaWithAmountsAsMoney) {
  const char* source_dir = std::getenv("VORNEXA_SOURCE_DIR");
  ASSERT_NE(source_dir, nullptr) << "run through CTest, which sets VORNEXA_SOURCE_DIR";
  std::ifstream file(std::string(source_dir) + "/vornexa/schema/sqlserver.sql");
  ASSERT_TRUE(file) << "vornexa/schema/sqlserver.sql is missing";
  std::string line, body, expected;
  while (std::getline(file, line)) {
    if (!line.starts_with("--")) body += line + "\n";
  }
  for (const std::string& statement : SchemaStatements(Dialect::SqlServer)) {
    expected += statement + "\nGO\n";
  }
  EXPECT_EQ(body, expected) << "regenerate vornexa/schema/sqlserver.sql from SchemaStatements";
  size_t money = 0;
  for (size_t at = 0; (at = body.find(" money ", at)) != std::string::npos; ++at) ++money;
  EXPECT_EQ(money, 25u + 25u + 2u + 1u);  // Acumulados, Acumulados_Dpto, Debe/Haber, Importe
}

}  // namespace
}  // namespace vornexa::testing
