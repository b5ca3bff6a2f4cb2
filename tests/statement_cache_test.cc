// Reused compiled statements: which literals become parameters, and that a
// connection with its cache gives exactly the rows, types and errors of one
// that compiles every text afresh.
#include <stdlib.h>

#include "support/fixtures.h"
#include "vornexa/data/sqlite_statement_cache.h"
#include "vornexa/data/statement_parameters.h"

namespace vornexa::testing {
namespace {

using namespace std::string_literals;

// Parameters in the order bound: integers as digits, texts quoted.
std::string Describe(const std::optional<ParameterisedStatement>& statement) {
  if (!statement) return "(as text)";
  std::string text = statement->skeleton + " |";
  for (const StatementParameter& p : statement->parameters) {
    text += p.is_integer ? " " + std::to_string(p.integer) : " '" + p.text + "'";
  }
  return text;
}

TEST(StatementParameters, BindsValuesAndKeepsEveryOtherLiteral) {
  const std::pair<const char*, const char*> cases[] = {
      {"SELECT * FROM Cuentas WHERE Cod_Empresa =1 AND Cuenta ='0001'",
       "SELECT * FROM Cuentas WHERE Cod_Empresa =? AND Cuenta =? | 1 '0001'"},
      {"UPDATE Cuentas SET Nombre ='It''s', Cp =-46001 WHERE Cuenta IN ('4','43')",
       "UPDATE Cuentas SET Nombre =?, Cp =-? WHERE Cuenta IN (?,?) | 'It's' 46001 '4' '43'"},
      {"INSERT INTO t (a, b) VALUES (5, 'x')", "INSERT INTO t (a, b) VALUES (?, ?) | 5 'x'"},
      {"DELETE FROM t WHERE a BETWEEN 1 AND 2", "DELETE FROM t WHERE a BETWEEN ? AND ? | 1 2"},
      // Result columns are named after their text; ordinals and limits shape the query.
      {"SELECT 'x' AS v, SUM(a + 1) FROM t WHERE b = 2 GROUP BY 1 ORDER BY 2 DESC",
       "SELECT 'x' AS v, SUM(a + 1) FROM t WHERE b = ? GROUP BY 1 ORDER BY 2 DESC | 2"},
      {"SELECT TOP 1 a FROM t WHERE b = 2", "SELECT TOP 1 a FROM t WHERE b = ? | 2"},
      {"SELECT a FROM t WHERE b IN (SELECT 3 FROM u WHERE c = 4) LIMIT 10, 5",
       "SELECT a FROM t WHERE b IN (SELECT 3 FROM u WHERE c = ?) LIMIT 10, 5 | 4"},
      {"SELECT a FROM t GROUP BY a HAVING COUNT(*) > 1",
       "SELECT a FROM t GROUP BY a HAVING COUNT(*) > ? | 1"},
      // Reals, exponents, hex and oversized integers keep the database's reading.
      {"SELECT a FROM t WHERE b = 1.5 OR b = 1e5 OR b = 0x1F OR b = 9223372036854775807",
       "SELECT a FROM t WHERE b = 1.5 OR b = 1e5 OR b = 0x1F OR b = 9223372036854775807 |"},
      // Texts that name something, and prefixed literals.
      {"SELECT a FROM 'Cuentas' AS 'c' WHERE b = N'x' OR b = X'00'",
       "SELECT a FROM 'Cuentas' AS 'c' WHERE b = N'x' OR b = X'00' |"},
      {"SELECT a FROM t WHERE b LIKE 'x!%%' ESCAPE '!'",
       "SELECT a FROM t WHERE b LIKE ? ESCAPE '!' | 'x!%%'"},
      {"SELECT a FROM t -- 5 'x'\nWHERE b = 'y' /* 7 */",
       "SELECT a FROM t -- 5 'x'\nWHERE b = ? /* 7 */ | 'y'"},
  };
  for (const auto& [sql, expected] : cases) {
    EXPECT_EQ(Describe(ParameteriseStatement(sql)), expected) << sql;
  }
  // Not parameterised at all.
  for (const std::string& sql :
       {"CREATE TABLE t (a DEFAULT 5)"s, "SELECT a FROM t WHERE b = ?"s,
        "SELECT a FROM t WHERE b = @b"s, "SELECT a FROM t WHERE b = :b"s,
        "SELECT 1; DELETE FROM t WHERE a = 1"s, "SELECT a FROM t WHERE b = 'open"s,
        "UPDATE t SET a = 1 RETURNING a"s, "SELECT a FROM t WHERE b = 'x\0y'"s}) {
    EXPECT_EQ(Describe(ParameteriseStatement(sql)), "(as text)") << sql;
  }
}

TEST(SqliteStatementCacheTest, KeepsTheMostRecentlyUsedAndGivesEachOutOnce) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  auto compile = [&](const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr), SQLITE_OK);
    return stmt;
  };
  {
    SqliteStatementCache cache(2);
    auto* one = cache.Keep("SELECT 1", compile("SELECT 1"));
    auto* two = cache.Keep("SELECT 2", compile("SELECT 2"));
    EXPECT_EQ(cache.Take("SELECT 1"), nullptr);  // in use until released
    sqlite3_stmt* copy = compile("SELECT 1");
    EXPECT_EQ(cache.Keep("SELECT 1", copy), nullptr);  // its user finalizes the copy
    sqlite3_finalize(copy);
    cache.Release(one);
    cache.Release(two);
    EXPECT_EQ(cache.Take("SELECT 1"), one);  // now the most recently used
    cache.Release(one);
    cache.Release(cache.Keep("SELECT 3", compile("SELECT 3")));  // SELECT 2 was the oldest
    EXPECT_EQ(cache.size(), 2u);
    EXPECT_EQ(cache.Take("SELECT 2"), nullptr);
    EXPECT_NE(cache.Keep("SELECT 4", compile("SELECT 4")), nullptr);
    EXPECT_EQ(cache.Take("SELECT 1"), nullptr);  // the oldest idle one made room
    EXPECT_EQ(cache.size(), 2u);
  }
  // Its users share the cache, so it goes last and takes every statement.
  sqlite3_stmt* left = sqlite3_next_stmt(db, nullptr);
  EXPECT_EQ(left, nullptr) << sqlite3_sql(left);  // all finalized
  sqlite3_close(db);
}

// What a statement gave: a write's count, a query's rows (column name, type
// and value of each field), or its error.
std::string Outcome(Connection& connection, const std::string& sql, Cursor cursor) {
  try {
    if (!sql.starts_with("SELECT")) return "changed " + std::to_string(connection.Execute(sql));
    auto rows = connection.Open(sql, cursor);
    std::string text;
    for (; !rows->Eof(); rows->MoveNext()) {
      for (const char* column : {"Clave", "Dato", "Tipo"}) {
        try {
          const Value value = rows->Field(column);
          text += std::string(column) + "=" +
                  (value.IsNull() ? "null" : value.IsInteger() ? "int:" : value.IsReal() ? "real:" : "text:") +
                  value.ToText() + " ";
        } catch (const Error&) {
        }
      }
      text += "\n";
    }
    return text;
  } catch (const Error& e) {
    // The database's message; what PostgreSQL's driver adds names the step
    // that failed, prepare or run.
    return "error " + std::to_string(e.Number()) + " " + e.Source() + ": " +
           e.Description().substr(0, e.Description().find(";\nError while "));
  }
}

// Runs `sql` on both connections, a query with each cursor, and expects the
// same outcome, which it returns.
std::string SameOnBoth(Connection& cached, Connection& uncached, const std::string& sql) {
  std::string outcomes[2];
  for (Cursor cursor : {Cursor::ForwardOnly, Cursor::Static}) {
    outcomes[0] = Outcome(cached, sql, cursor);
    outcomes[1] = Outcome(uncached, sql, cursor);
    EXPECT_EQ(outcomes[0], outcomes[1]) << sql;
    if (!sql.starts_with("SELECT")) break;
  }
  return outcomes[0];
}

// A result set left open holds its statement and rows while the same one runs
// again with other values; given back part-read, it is reset before its reuse;
// and it keeps reading after its connection has gone.
void ExpectOpenResultsKeepTheirRows(std::shared_ptr<Connection> db) {
  db->Execute("INSERT INTO Valores (Clave, Dato) VALUES ('r1', 101), ('r2', 102), ('r3', 103)");
  const std::string query = "SELECT Clave FROM Valores WHERE Dato > ";
  auto outer = db->Open(query + "100 ORDER BY Clave");
  auto held = db->Open(query + "101 ORDER BY Clave", Cursor::Static);
  EXPECT_EQ(Outcome(*db, query + "102 ORDER BY Clave", Cursor::ForwardOnly), "Clave=text:r3 \n");
  outer->MoveNext();
  EXPECT_EQ(outer->Field("Clave").ToText() + held->Field("Clave").ToText(), "r2r2");
  outer.reset(), held.reset();
  EXPECT_EQ(Outcome(*db, query + "100 ORDER BY Clave", Cursor::ForwardOnly),
            "Clave=text:r1 \nClave=text:r2 \nClave=text:r3 \n");
  auto last = db->Open(query + "100 ORDER BY Clave");
  db.reset();
  last->MoveNext();
  EXPECT_EQ(last->Field("Clave").ToText(), "r2");
}

class CacheParity : public ::testing::Test {
 protected:
  void SetUp() override {
    cached_ = OpenSqlite(":memory:", {64});
    uncached_ = OpenSqlite(":memory:", {0});
    Both("CREATE TABLE Valores (Clave TEXT PRIMARY KEY, Dato, Tipo TEXT)");
  }

  std::string Both(const std::string& sql) { return SameOnBoth(*cached_, *uncached_, sql); }

  const ScratchFolder folder_;  // for a database that several connections share
  std::shared_ptr<Connection> cached_, uncached_;
};

TEST_F(CacheParity, SameRowsTypesAndErrorsAsTheText) {
  const std::pair<std::string, std::string> cases[] = {
      {"INSERT INTO Valores (Clave, Dato) VALUES ('a', '0001'), ('b', 5), ('c', 1.5), "
       "('d', -7), ('e', 'It''s'), ('f', NULL)",
       "changed 6"},
      {"UPDATE Valores SET Tipo = typeof(Dato) WHERE Clave <> 'zz'", "changed 6"},
      {"SELECT * FROM Valores WHERE Clave IN ('a', 'b', 'c', 'd', 'e') ORDER BY 1",
       "Clave=text:a Dato=text:0001 Tipo=text:text \n"
       "Clave=text:b Dato=int:5 Tipo=text:integer \n"
       "Clave=text:c Dato=real:1.5 Tipo=text:real \n"
       "Clave=text:d Dato=int:-7 Tipo=text:integer \n"
       "Clave=text:e Dato=text:It's Tipo=text:text \n"},
      // A number inside quotes is text, and text never equals an untyped number.
      {"SELECT Clave FROM Valores WHERE Dato = '5'", ""},
      {"SELECT Clave FROM Valores WHERE Dato = 5", "Clave=text:b \n"},
      {"SELECT Clave FROM Valores WHERE Dato = 1", ""},
      {"SELECT Clave FROM Valores WHERE Dato = '0001'", "Clave=text:a \n"},
      {"SELECT Clave FROM Valores WHERE Dato = -7 OR Dato < -8 - -1", "Clave=text:d \n"},
      {"SELECT Clave FROM Valores WHERE Dato > 1e0 AND Dato < 0x10", "Clave=text:b \nClave=text:c \n"},
      // The same skeleton with lists of other lengths, and an ordinal and limit.
      {"SELECT Clave FROM Valores WHERE Clave IN ('b') ORDER BY 1", "Clave=text:b \n"},
      {"SELECT Clave FROM Valores WHERE Clave IN ('b', 'f', 'x') ORDER BY 1 DESC",
       "Clave=text:f \nClave=text:b \n"},
      {"SELECT TOP 2 Clave FROM Valores WHERE Clave > 'a' ORDER BY Clave",
       "Clave=text:b \nClave=text:c \n"},
      {"SELECT 'lit' AS Dato, Clave FROM Valores WHERE Clave = 'a'", "Clave=text:a Dato=text:lit \n"},
      // Errors keep their numbers and the database's own descriptions.
      {"INSERT INTO Valores (Clave, Dato) VALUES ('a', 1)",
       "error -2147217873 Vornexa.Data: UNIQUE constraint failed: Valores.Clave"},
      {"SELECT Clave FROM Valores WHERE Dato = 'x' AND",
       "error -2147217900 Vornexa.Data: incomplete input"},
      {"SELECT Clave FROM Valores WHERE Dato = 1; SELECT 2",
       "error -2147217900 Vornexa.Data: Solo se admite una instrucción por llamada"},
      {"SELECT Clave FROM Valores WHERE Dato = 'x\0y'"s, 
       "error -2147217900 Vornexa.Data: unrecognized token: \"'x\""},
      {"UPDATE Valores SET Dato = Dato + 1 WHERE Clave = 'nadie'", "changed 0"},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(Both(sql), expected) << sql;
}

TEST_F(CacheParity, AResultSetLeftOpenKeepsItsRowsWhileTheSameStatementRunsAgain) {
  ExpectOpenResultsKeepTheirRows(std::move(cached_));
}

#ifdef VORNEXA_WITH_ODBC
// The ODBC driver's prepared statements beside its direct ones: SQLite through
// ODBC, and PostgreSQL (prepared only when asked) when the server is offered.
TEST(OdbcCacheParity, SameRowsTypesAndErrorsAsTheTextAndOpenResultsKeepTheirStatement) {
  std::vector<std::pair<std::string, Dialect>> databases = {
      {"Driver=SQLite3;Database=:memory:;", Dialect::Sqlite}};
  if (const std::string server = PostgreSqlConnectionString(); !server.empty()) {
    databases.emplace_back(server, Dialect::PostgreSql);
  }
  for (const auto& [connection_string, dialect] : databases) {
    SCOPED_TRACE(connection_string);
    std::shared_ptr<Connection> cached, uncached;
    for (auto* connection : {&cached, &uncached}) {
      *connection = OpenOdbc(connection_string, dialect, {15, connection == &cached ? 64u : 0u});
      (*connection)->Execute(
          "CREATE TEMP TABLE Valores (Clave varchar(8) PRIMARY KEY, Dato integer, Tipo varchar(8))");
    }
    const auto both = [&](const std::string& sql) { return SameOnBoth(*cached, *uncached, sql); };
    EXPECT_EQ(both("INSERT INTO Valores (Clave, Dato, Tipo) VALUES ('a', 5, '0001'), "
                   "('b', -7, 'It''s'), ('c', 12, NULL)"),
              "changed 3");
    EXPECT_EQ(both("SELECT * FROM Valores WHERE Clave IN ('a', 'b') ORDER BY Clave"),
              "Clave=text:a Dato=int:5 Tipo=text:0001 \nClave=text:b Dato=int:-7 Tipo=text:It's \n");
    EXPECT_EQ(both("SELECT Clave FROM Valores WHERE Dato = '5' OR Tipo = '0001'"), "Clave=text:a \n");
    EXPECT_EQ(both("SELECT Clave FROM Valores WHERE Dato = -7 OR Dato + 1 > 10 ORDER BY Clave"),
              "Clave=text:b \nClave=text:c \n");
    EXPECT_EQ(both("SELECT Clave FROM Valores WHERE Clave IN ('c') AND Tipo IS NULL"), "Clave=text:c \n");
    EXPECT_EQ(both("UPDATE Valores SET Dato = Dato + 1 WHERE Clave = 'nadie'"), "changed 0");
    both("INSERT INTO Valores (Clave, Dato) VALUES ('a', 1)");
    both("SELECT Clave FROM Valores WHERE Dato = 'x'");
    both("SELECT Clave FROM Valores WHERE Nada = 1");
    // PostgreSQL types an integer literal itself (integer, bigint beyond)
    // where its driver sends values untyped; and a statement of more values
    // than a prepared one takes runs as text. The rows on PostgreSQL:
    std::string values = "0";
    for (int i = 1; i < 40000; ++i) values += (i == 8000 ? ")" : ",") + std::to_string(i);
    const std::string a = "Clave=text:a \n", no_operator = "error -2147217900 Vornexa.Data: "
                                                         "ERROR: operator does not exist: ";
    for (const auto& [condition, on_postgresql] : std::vector<std::pair<std::string, std::string>>{
             {"SUBSTRING(Tipo, 1, 1) = '0'", a},
             {"Dato = 4000000000 OR Dato IN (1, 5, 4000000000)", a},
             {"Dato + 2147483647 > 0", "error -2147217900 Vornexa.Data: ERROR: integer out of range"},
             {"Dato + 2147483648 > 0 AND Dato = - 5 + 10 AND -Dato = -5", a},
             {"Clave = 43000001", no_operator + "character varying = integer"},
             {"Tipo LIKE '0!%%' ESCAPE '!' OR Tipo LIKE '0''x%' OR 'x' || Clave = 'xa'", a},
             {"Dato IN (" + values.substr(0, values.find(')')) + ")", a + "Clave=text:c \n"},
             {"Dato IN (" + values.replace(values.find(')'), 1, ",") + ")", a + "Clave=text:c \n"}}) {
      const std::string outcome = both("SELECT Clave FROM Valores WHERE " + condition);
      if (dialect == Dialect::PostgreSql) EXPECT_EQ(outcome, on_postgresql) << condition.substr(0, 60);
    }

    ExpectOpenResultsKeepTheirRows(std::move(cached));
  }
}

#endif  // VORNEXA_WITH_ODBC

// Another connection changes the schema under statements compiled before.
TEST_F(CacheParity, AStatementCompiledBeforeASchemaChangeSeesTheNewSchema) {
  const std::string path = folder_.Path("empresa.db");
  auto other = OpenSqlite(path, {0});
  other->Execute("CREATE TABLE Valores (Clave TEXT PRIMARY KEY, Dato)");
  cached_ = OpenSqlite(path, {64});
  uncached_ = OpenSqlite(path, {0});
  const std::tuple<const char*, const char*, const char*> steps[] = {
      {"INSERT INTO Valores VALUES ('a', 1), ('b', 2)", "SELECT * FROM Valores WHERE Clave = 'a'",
       "Clave=text:a Dato=int:1 \n"},
      {"ALTER TABLE Valores ADD COLUMN Tipo DEFAULT 'nuevo'",
       "SELECT * FROM Valores WHERE Clave = 'b'", "Clave=text:b Dato=int:2 Tipo=text:nuevo \n"},
      {"DROP TABLE Valores", "SELECT * FROM Valores WHERE Clave = 'b'",
       "error -2147217900 Vornexa.Data: no such table: Valores"},
  };
  for (const auto& [change, query, expected] : steps) {
    other->Execute(change);
    EXPECT_EQ(Both(query), expected) << change;
  }
}

TEST(CacheSwitch, AnUnknownSettingInTheEnvironmentIsRefused) {
  const char* saved = getenv(kStatementCacheVariable);
  const std::string saved_value = saved ? saved : "";
  setenv(kStatementCacheVariable, "si", 1);
  EXPECT_VORNEXA_ERROR(OpenSqlite(":memory:"), error_number::kConnectionUnusable,
                       std::string(kDataSource),
                       "VORNEXA_STATEMENT_CACHE admite 0 (sin caché de instrucciones) o 1, no 'si'");
  saved ? setenv(kStatementCacheVariable, saved_value.c_str(), 1)
        : unsetenv(kStatementCacheVariable);
}

}  // namespace
}  // namespace vornexa::testing
