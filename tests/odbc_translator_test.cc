// The statements the library sends, as PostgreSQL receives them.
#include <gtest/gtest.h>

#include "vornexa/data/sql_translator.h"

namespace vornexa {
namespace {

std::string ForPostgreSql(std::string_view sql) { return TranslateSql(sql, Dialect::PostgreSql); }

TEST(PostgreSqlTranslation, PeriodTotalsWithEveryFilter) {
  EXPECT_EQ(
      ForPostgreSql(
          "SELECT ISNULL(SUM(a.Debe), 0) AS Debe, ISNULL(SUM(a.Haber), 0) AS Haber FROM "
          "Movimientos a WITH (NOLOCK) INNER JOIN Asientos b WITH (NOLOCK) ON a.Cod_Empresa = "
          "b.Cod_Empresa And a.Cod_Ejercicio = b.Cod_Ejercicio And a.Cod_Asiento = b.Codigo WHERE "
          "a.Cod_Empresa =1 AND b.Cod_Empresa =1 AND a.Cuenta ='430000005' AND (b.Fecha BETWEEN "
          "'2024-01-01' AND '2024-12-31') AND b.Cierre = 0 AND b.Nulo = 0 AND ((a.Debe Between "
          "99.5 AND 100.5) OR (a.Haber Between 99.5 AND 100.5)) AND (a.Concepto LIKE '%ALQUILER%') "
          "And (a.Dpto=2) And (a.Diario=1)"),
      "SELECT COALESCE(SUM(a.Debe), 0) AS Debe, COALESCE(SUM(a.Haber), 0) AS Haber FROM "
      "Movimientos a INNER JOIN Asientos b ON a.Cod_Empresa = b.Cod_Empresa And a.Cod_Ejercicio = "
      "b.Cod_Ejercicio And a.Cod_Asiento = b.Codigo WHERE a.Cod_Empresa =1 AND b.Cod_Empresa =1 "
      "AND a.Cuenta ='430000005' AND (b.Fecha BETWEEN '2024-01-01' AND '2024-12-31') AND "
      "b.Cierre = 0 AND b.Nulo = 0 AND ((a.Debe Between 99.5 AND 100.5) OR (a.Haber Between 99.5 "
      "AND 100.5)) AND (a.Concepto ILIKE '%ALQUILER%') And (a.Dpto=2) And (a.Diario=1)");
}

TEST(PostgreSqlTranslation, NavigationMovementsAndBalances) {
  EXPECT_EQ(ForPostgreSql("SELECT * FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND "
                          "Cuenta IN (SELECT TOP 1 Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND "
                          "Cod_Ejercicio =5 AND Cuenta > '43' ORDER BY Cuenta ASC)"),
            "SELECT * FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND Cuenta IN "
            "(SELECT Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND Cuenta > "
            "'43' ORDER BY Cuenta ASC LIMIT 1)");
  EXPECT_EQ(ForPostgreSql("SELECT * FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND "
                          "Cuenta IN (SELECT ISNULL(MAX(Cuenta), '') AS Cuenta FROM Cuentas WHERE "
                          "Cod_Empresa =1 AND Cod_Ejercicio =5)"),
            "SELECT * FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND Cuenta IN "
            "(SELECT COALESCE(MAX(Cuenta), '') AS Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND "
            "Cod_Ejercicio =5)");
  EXPECT_EQ(ForPostgreSql("SELECT TOP 1 Apunte FROM Movimientos WITH (NOLOCK) WHERE Cod_Empresa =1 "
                          "AND Cod_Ejercicio =5 And Cuenta ='572'"),
            "SELECT Apunte FROM Movimientos WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 And Cuenta "
            "='572' LIMIT 1");
  EXPECT_EQ(ForPostgreSql("SELECT ISNULL(SUM(Importe), 0) As Saldo FROM Previsiones_Cobro  WHERE "
                          "Cod_Empresa=1 AND CuentaOriginal='430' AND Estado BETWEEN 1 AND 4"),
            "SELECT COALESCE(SUM(Importe), 0) As Saldo FROM Previsiones_Cobro  WHERE "
            "Cod_Empresa=1 AND CuentaOriginal='430' AND Estado BETWEEN 1 AND 4");
}

TEST(PostgreSqlTranslation, LikeMatchesWithoutRegardToCaseOnlyAsAnOperator) {
  EXPECT_EQ(ForPostgreSql("SELECT Cuenta FROM Movimientos WHERE Concepto not like '%x%'"),
            "SELECT Cuenta FROM Movimientos WHERE Concepto not ILIKE '%x%'");
  // Literals, quoted names, comments and longer words stay as they are.
  const std::string untouched =
      "SELECT \"LIKE\", LIKELY FROM t WHERE a = 'b LIKE c' -- LIKE\n/* LIKE */";
  EXPECT_EQ(ForPostgreSql(untouched), untouched);
  // Only PostgreSQL is given ILIKE; SQLite's LIKE already ignores case.
  EXPECT_EQ(TranslateSql("WHERE Concepto LIKE '%a%'", Dialect::Sqlite), "WHERE Concepto LIKE '%a%'");
}

TEST(PostgreSqlTranslation, SqlServerGetsEveryStatementUnchanged) {
  const std::string statement =
      "SELECT TOP 1 Cuenta FROM Cuentas WITH (NOLOCK) WHERE Nombre LIKE '%a%' AND "
      "ISNULL(Nif, '') = ''";
  EXPECT_EQ(TranslateSql(statement, Dialect::SqlServer), statement);
}

}  // namespace
}  // namespace vornexa
