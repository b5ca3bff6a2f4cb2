// The SQL Server statements the library writes, as each database receives
// them: TOP as LIMIT of the same SELECT (or refused, never lost or moved),
// WITH (NOLOCK) gone, ISNULL, LIKE and CONCAT as each database spells them, and
// literals, quoted names and comments untouched. SQL Server gets them as written.
#include <gtest/gtest.h>

#include "vornexa/base/error.h"
#include "vornexa/data/sql_translator.h"

namespace vornexa {
namespace {

// Literals, quoted names, comments and words that merely contain a keyword.
const char kUntouchable[] =
    "SELECT Nombre, \"LIKE\", LIKELY FROM Cuentas WHERE Nombre = 'SELECT TOP 1 x WITH (NOLOCK) "
    "ISNULL( LIKE' AND [ISNULL] = \"TOP 2\" AND 'It''s TOP 1' = a -- WITH (NOLOCK) LIKE\n"
    "/* TOP 3 LIKE */";
const char kTopNumber[] = "TOP debe ir seguido de un número, como TOP 5 o TOP (5)";
const char kCompound[] = "en una consulta compuesta con UNION, EXCEPT o INTERSECT";
const char kUnclosed[] = "la instrucción termina dentro de un literal, nombre o comentario sin cerrar";

const struct {
  const char* sql;
  const char* sqlite;      // null: refused, saying `why`
  const char* postgresql;  // null: as for SQLite
  const char* why = nullptr;
} kCases[] = {
    {"SELECT TOP 1 Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Grupo =3",
     "SELECT Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Grupo =3 LIMIT 1", nullptr},
    {"SELECT * FROM Cuentas WHERE Cuenta IN (SELECT TOP 1 Cuenta FROM Cuentas WHERE Cuenta > "
     "'43' ORDER BY Cuenta ASC)",
     "SELECT * FROM Cuentas WHERE Cuenta IN (SELECT Cuenta FROM Cuentas WHERE Cuenta > '43' "
     "ORDER BY Cuenta ASC LIMIT 1)",
     nullptr},
    {"SELECT DISTINCT TOP 10 a FROM (SELECT TOP 2 a FROM t) x",
     "SELECT DISTINCT a FROM (SELECT a FROM t LIMIT 2) x LIMIT 10", nullptr},
    {"select top 3 a from t;", "select a from t LIMIT 3;", nullptr},
    {"SELECT TOP ( 2 ) a FROM t", "SELECT a FROM t LIMIT 2", nullptr},
    {"SELECT TOP (@n) a FROM t", nullptr, nullptr, kTopNumber},
    {"SELECT TOP a FROM t", nullptr, nullptr, kTopNumber},
    {"SELECT TOP 1 a FROM t -- el primero", "SELECT a FROM t LIMIT 1 -- el primero", nullptr},
    {"SELECT a FROM (SELECT TOP 2 a FROM t -- x\n) s",
     "SELECT a FROM (SELECT a FROM t -- x\n LIMIT 2) s", nullptr},
    {"SELECT a FROM (SELECT TOP 1 a FROM t) x UNION SELECT b FROM u",
     "SELECT a FROM (SELECT a FROM t LIMIT 1) x UNION SELECT b FROM u", nullptr},
    {"SELECT TOP 1 Apunte FROM Movimientos WITH (NOLOCK) WHERE Cuenta ='572'",
     "SELECT Apunte FROM Movimientos WHERE Cuenta ='572' LIMIT 1", nullptr},
    {"SELECT ISNULL(SUM(a.Debe), 0) AS Debe FROM Movimientos a WITH(nolock)",
     "SELECT IFNULL(SUM(a.Debe), 0) AS Debe FROM Movimientos a",
     "SELECT COALESCE(SUM(a.Debe), 0) AS Debe FROM Movimientos a"},
    {"SELECT ISNULL (MIN(Cuenta), '') AS Cuenta", "SELECT IFNULL (MIN(Cuenta), '') AS Cuenta",
     "SELECT COALESCE (MIN(Cuenta), '') AS Cuenta"},
    // SQLite's LIKE already ignores case; PostgreSQL's needs ILIKE.
    {"WHERE Concepto not like '%x%'", "WHERE Concepto not like '%x%'",
     "WHERE Concepto not ILIKE '%x%'"},
    // SQLite has no CONCAT: || with each NULL as '', as SQL Server's CONCAT takes it.
    {"SET Cuenta = CONCAT(SUBSTRING(Cuenta, 1, 4), '0', concat ('1', x)), Concat = 2",
     "SET Cuenta = (IFNULL(SUBSTRING(Cuenta, 1, 4), '') || IFNULL('0', '') || "
     "IFNULL((IFNULL('1', '') || IFNULL(x, '')), '')), Concat = 2",
     "SET Cuenta = CONCAT(SUBSTRING(Cuenta, 1, 4), '0', concat ('1', x)), Concat = 2"},
    {kUntouchable, kUntouchable, nullptr},
    {"SELECT TOP 1 a FROM t UNION ALL SELECT TOP 2 b FROM u", nullptr, nullptr, kCompound},
    {"SELECT a FROM t EXCEPT SELECT TOP 2 b FROM u", nullptr, nullptr, kCompound},
    {"SELECT TOP 1 PERCENT a FROM t", nullptr, nullptr,
     "TOP … PERCENT no tiene equivalente con LIMIT"},
    {"SELECT TOP 5 WITH TIES a FROM t ORDER BY a", nullptr, nullptr,
     "TOP … WITH TIES no tiene equivalente con LIMIT"},
    {"SELECT TOP 1 a FROM t /* abierto", nullptr, nullptr, kUnclosed},
};

TEST(SqlTranslation, RewritesTheSqlServerConstructsOrRefusesThem) {
  for (const auto& c : kCases) {
    for (Dialect dialect : {Dialect::Sqlite, Dialect::PostgreSql}) {
      const bool own = dialect == Dialect::PostgreSql && c.postgresql != nullptr;
      const char* expected = own ? c.postgresql : c.sqlite;
      if (expected != nullptr) {
        EXPECT_EQ(TranslateSql(c.sql, dialect), expected) << c.sql;
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
    EXPECT_EQ(TranslateSql(c.sql, Dialect::SqlServer), c.sql);
  }
}

TEST(SqlTranslation, TokensJoinBackToTheInput) {
  for (const char* sql : {"", "SELECT 'unterminated", "a--x", "/* open", "x=[a]]b]+1.5e", "ñ='ü'"}) {
    std::string joined;
    for (const SqlToken& token : TokenizeSql(sql)) joined += token.text;
    EXPECT_EQ(joined, sql);
  }
}

}  // namespace
}  // namespace vornexa
