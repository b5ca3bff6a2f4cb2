// The SQL Server statements the library writes, as each database receives them.
#include <gtest/gtest.h>

#include "vornexa/base/error.h"
#include "vornexa/data/sql_translator.h"

namespace vornexa {
namespace {

constexpr Dialect kSqlite = Dialect::Sqlite;
constexpr Dialect kPostgreSql = Dialect::PostgreSql;
constexpr Dialect kSqlServer = Dialect::SqlServer;

// Literals, quoted names, comments and words that merely contain a keyword.
const char kUntouchable[] =
    "SELECT Nombre, \"LIKE\", LIKELY FROM Cuentas WHERE Nombre = 'SELECT TOP 1 x WITH (NOLOCK) "
    "ISNULL( LIKE' AND [ISNULL] = \"TOP 2\" AND 'It''s TOP 1' = a -- WITH (NOLOCK) LIKE\n"
    "/* TOP 3 LIKE */";

const struct {
  Dialect dialect;
  const char* sql;
  const char* translated;
} kCases[] = {
    // TOP becomes LIMIT of the same SELECT, at any depth.
    {kSqlite, "SELECT TOP 1 Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Grupo =3",
     "SELECT Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Grupo =3 LIMIT 1"},
    {kPostgreSql,
     "SELECT * FROM Cuentas WHERE Cuenta IN (SELECT TOP 1 Cuenta FROM Cuentas WHERE Cuenta > "
     "'43' ORDER BY Cuenta ASC)",
     "SELECT * FROM Cuentas WHERE Cuenta IN (SELECT Cuenta FROM Cuentas WHERE Cuenta > '43' "
     "ORDER BY Cuenta ASC LIMIT 1)"},
    {kSqlite, "SELECT DISTINCT TOP 10 a FROM (SELECT TOP 2 a FROM t) x",
     "SELECT DISTINCT a FROM (SELECT a FROM t LIMIT 2) x LIMIT 10"},
    {kSqlite, "select top 3 a from t;", "select a from t LIMIT 3;"},
    // WITH (NOLOCK) goes; ISNULL becomes each database's function.
    {kPostgreSql, "SELECT TOP 1 Apunte FROM Movimientos WITH (NOLOCK) WHERE Cuenta ='572'",
     "SELECT Apunte FROM Movimientos WHERE Cuenta ='572' LIMIT 1"},
    {kSqlite, "SELECT ISNULL(SUM(a.Debe), 0) AS Debe FROM Movimientos a WITH(nolock)",
     "SELECT IFNULL(SUM(a.Debe), 0) AS Debe FROM Movimientos a"},
    {kPostgreSql, "SELECT ISNULL (MIN(Cuenta), '') AS Cuenta",
     "SELECT COALESCE (MIN(Cuenta), '') AS Cuenta"},
    // Only PostgreSQL is given ILIKE; SQLite's LIKE already ignores case.
    {kPostgreSql, "WHERE Concepto not like '%x%'", "WHERE Concepto not ILIKE '%x%'"},
    {kSqlite, "WHERE Concepto LIKE '%a%'", "WHERE Concepto LIKE '%a%'"},
    {kPostgreSql,
     "SELECT ISNULL(SUM(a.Debe), 0) AS Debe FROM Movimientos a WITH (NOLOCK) INNER JOIN Asientos "
     "b WITH (NOLOCK) ON a.Cod_Asiento = b.Codigo WHERE (a.Concepto LIKE '%ALQUILER%')",
     "SELECT COALESCE(SUM(a.Debe), 0) AS Debe FROM Movimientos a INNER JOIN Asientos b ON "
     "a.Cod_Asiento = b.Codigo WHERE (a.Concepto ILIKE '%ALQUILER%')"},
    {kSqlite, kUntouchable, kUntouchable},
    {kPostgreSql, kUntouchable, kUntouchable},
    // SQL Server gets every statement as written.
    {kSqlServer, "SELECT TOP 1 Cuenta FROM Cuentas WITH (NOLOCK) WHERE Nombre LIKE '%a%' AND "
                 "ISNULL(Nif, '') = ''",
     "SELECT TOP 1 Cuenta FROM Cuentas WITH (NOLOCK) WHERE Nombre LIKE '%a%' AND "
     "ISNULL(Nif, '') = ''"},
};

TEST(SqlTranslation, RewritesOnlyTheSqlServerConstructs) {
  for (const auto& c : kCases) {
    EXPECT_EQ(TranslateSql(c.sql, c.dialect), c.translated) << c.sql;
  }
}

TEST(SqlTranslation, TokensJoinBackToTheInput) {
  for (const char* sql : {"", "SELECT 'unterminated", "a--x", "/* open", "x=[a]]b]+1.5e", "ñ='ü'"}) {
    std::string joined;
    for (const SqlToken& token : TokenizeSql(sql)) joined += token.text;
    EXPECT_EQ(joined, sql);
  }
}

// A TOP either keeps its meaning as a LIMIT or is refused: never lost, never
// moved onto another SELECT.
TEST(SqlTranslation, TopKeepsItsMeaningOrIsRefused) {
  const char kCompound[] = "en una consulta compuesta con UNION, EXCEPT o INTERSECT";
  const char kUnclosed[] =
      "la instrucción termina dentro de un literal, nombre o comentario sin cerrar";
  const struct {
    const char* sql;
    const char* translated;  // null: refused
    const char* why;
  } cases[] = {
      {"SELECT TOP 1 a FROM t -- el primero", "SELECT a FROM t LIMIT 1 -- el primero", nullptr},
      {"SELECT TOP 1 a FROM t /* x */\n", "SELECT a FROM t LIMIT 1 /* x */\n", nullptr},
      {"SELECT a FROM (SELECT TOP 2 a FROM t -- x\n) s",
       "SELECT a FROM (SELECT a FROM t -- x\n LIMIT 2) s", nullptr},
      {"SELECT a FROM (SELECT TOP 1 a FROM t) x UNION SELECT b FROM u",
       "SELECT a FROM (SELECT a FROM t LIMIT 1) x UNION SELECT b FROM u", nullptr},
      {"SELECT TOP 1 a FROM t UNION ALL SELECT TOP 2 b FROM u", nullptr, kCompound},
      {"SELECT a FROM t EXCEPT SELECT TOP 2 b FROM u", nullptr, kCompound},
      {"SELECT TOP 1 PERCENT a FROM t", nullptr, "TOP … PERCENT no tiene equivalente con LIMIT"},
      {"SELECT TOP 5 WITH TIES a FROM t ORDER BY a", nullptr,
       "TOP … WITH TIES no tiene equivalente con LIMIT"},
      {"SELECT TOP 1 a FROM t WHERE b = 'abierto", nullptr, kUnclosed},
      {"SELECT TOP 1 a FROM t /* abierto", nullptr, kUnclosed},
  };
  for (const auto& c : cases) {
    for (Dialect dialect : {kSqlite, kPostgreSql}) {
      if (c.translated != nullptr) {
        EXPECT_EQ(TranslateSql(c.sql, dialect), c.translated) << c.sql;
        continue;
      }
      try {
        TranslateSql(c.sql, dialect);
        ADD_FAILURE() << "translated: " << c.sql;
      } catch (const Error& e) {
        EXPECT_EQ(e.Number(), error_number::kStatementRejected) << c.sql;
        EXPECT_EQ(e.Source(), kDataSource) << c.sql;
        EXPECT_EQ(e.Description(), std::string("No se puede traducir TOP: ") + c.why) << c.sql;
      }
    }
    EXPECT_EQ(TranslateSql(c.sql, kSqlServer), c.sql);
  }
}

}  // namespace
}  // namespace vornexa
