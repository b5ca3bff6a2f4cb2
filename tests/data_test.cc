// Values, the SQL translator and the embedded driver.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "support/caught_error.h"
#include "vornexa/data/connection.h"
#include "vornexa/data/sql_translator.h"
#include "vornexa/data/value.h"
#include "vornexa/schema/schema.h"

namespace vornexa {
namespace {

using testing::CaughtError;

TEST(FieldValue, NullRaisesInvalidUseOfNullForEveryConversion) {
  const Value null;
  EXPECT_EQ(CaughtError([&] { null.ToText(); }).Number(), 94);
  EXPECT_EQ(CaughtError([&] { null.ToInt16(); }).Number(), 94);
  EXPECT_EQ(CaughtError([&] { null.ToInt32(); }).Number(), 94);
  EXPECT_EQ(CaughtError([&] { null.ToCurrency(); }).Number(), 94);
}

TEST(FieldValue, IntegerConversionsCheckRangeAndRoundHalfToEven) {
  EXPECT_EQ(Value::Integer(46001).ToInt32(), 46001);
  EXPECT_EQ(CaughtError([] { Value::Integer(46001).ToInt16(); }).Number(), 6);
  EXPECT_EQ(Value::Integer(-32768).ToInt16(), -32768);
  EXPECT_EQ(Value::Real(2.5).ToInt16(), 2);
  EXPECT_EQ(Value::Real(3.5).ToInt16(), 4);
  EXPECT_EQ(Value::Text(" 12 ").ToInt16(), 12);
  EXPECT_EQ(Value::Text("7.5").ToInt32(), 8);
  EXPECT_EQ(CaughtError([] { Value::Text("abc").ToInt16(); }).Number(), 13);
  EXPECT_EQ(CaughtError([] { Value::Text("").ToInt32(); }).Number(), 13);
  EXPECT_EQ(CaughtError([] { Value::Text("99999999999").ToInt32(); }).Number(), 6);
}

TEST(FieldValue, TextAndCurrencyConversions) {
  EXPECT_EQ(Value::Integer(-7).ToText(), "-7");
  EXPECT_EQ(Value::Real(0.1).ToText(), "0.1");
  EXPECT_EQ(Value::Real(0.0001).ToText(), "0.0001");
  EXPECT_EQ(Value::Real(1e16).ToText(), "10000000000000000");
  EXPECT_EQ(Value::Text(" a ").ToText(), " a ");
  EXPECT_EQ(Value::Text("12.3456").ToCurrency().ten_thousandths, 123456);
  EXPECT_EQ(Value::Real(12.34).ToCurrency().ten_thousandths, 123400);
  EXPECT_EQ(Value::Integer(5).ToCurrency().ten_thousandths, 50000);
  EXPECT_EQ(CaughtError([] { Value::Text("x").ToCurrency(); }).Number(), 13);
}

std::string Translate(std::string_view sql) { return TranslateSql(sql, Dialect::Sqlite); }

TEST(SqlTranslation, MovesTopToLimitOfTheSameSelectAtAnyDepth) {
  EXPECT_EQ(Translate("SELECT TOP 1 Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Grupo =3"),
            "SELECT Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Grupo =3 LIMIT 1");
  EXPECT_EQ(Translate("SELECT * FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND Cuenta "
                      "IN (SELECT TOP 1 Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND "
                      "Cod_Ejercicio =5 AND Cuenta < '43000001' ORDER BY Cuenta DESC)"),
            "SELECT * FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND Cuenta IN "
            "(SELECT Cuenta FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND Cuenta < "
            "'43000001' ORDER BY Cuenta DESC LIMIT 1)");
  EXPECT_EQ(Translate("SELECT DISTINCT TOP 10 a FROM (SELECT TOP 2 a FROM t) x"),
            "SELECT DISTINCT a FROM (SELECT a FROM t LIMIT 2) x LIMIT 10");
  EXPECT_EQ(Translate("select top 3 a from t;"), "select a from t LIMIT 3;");
}

// A TOP either keeps its meaning as a LIMIT or is refused: never lost, never
// moved onto another SELECT.
TEST(SqlTranslation, TopKeepsItsMeaningOrIsRefused) {
  const struct {
    const char* sql;
    const char* translated;  // null: refused
    const char* why;
  } cases[] = {
      {"SELECT TOP 1 a FROM t -- el primero", "SELECT a FROM t LIMIT 1 -- el primero", nullptr},
      {"SELECT TOP 1 a FROM t /* x */\n", "SELECT a FROM t LIMIT 1 /* x */\n", nullptr},
      {"SELECT a FROM (SELECT TOP 2 a FROM t -- x\n) s", "SELECT a FROM (SELECT a FROM t -- x\n LIMIT 2) s",
       nullptr},
      {"SELECT a FROM t UNION ALL SELECT b FROM u", "SELECT a FROM t UNION ALL SELECT b FROM u",
       nullptr},
      {"SELECT a FROM (SELECT TOP 1 a FROM t) x UNION SELECT b FROM u",
       "SELECT a FROM (SELECT a FROM t LIMIT 1) x UNION SELECT b FROM u", nullptr},
      {"SELECT TOP 1 a FROM t UNION ALL SELECT TOP 2 b FROM u", nullptr,
       "en una consulta compuesta con UNION, EXCEPT o INTERSECT"},
      {"SELECT a FROM t EXCEPT SELECT TOP 2 b FROM u", nullptr,
       "en una consulta compuesta con UNION, EXCEPT o INTERSECT"},
      {"SELECT TOP 1 PERCENT a FROM t", nullptr, "TOP … PERCENT no tiene equivalente con LIMIT"},
      {"SELECT TOP 5 WITH TIES a FROM t ORDER BY a", nullptr,
       "TOP … WITH TIES no tiene equivalente con LIMIT"},
      {"SELECT TOP 1 a FROM t WHERE b = 'abierto", nullptr,
       "la instrucción termina dentro de un literal, nombre o comentario sin cerrar"},
      {"SELECT TOP 1 a FROM t /* abierto", nullptr,
       "la instrucción termina dentro de un literal, nombre o comentario sin cerrar"},
  };
  for (const auto& c : cases) {
    for (Dialect dialect : {Dialect::Sqlite, Dialect::PostgreSql}) {
      if (c.translated != nullptr) {
        EXPECT_EQ(TranslateSql(c.sql, dialect), c.translated) << c.sql;
      } else {
        EXPECT_VORNEXA_ERROR(TranslateSql(c.sql, dialect), -2147217900, "Vornexa.Data",
                             std::string("No se puede traducir TOP: ") + c.why);
      }
    }
    EXPECT_EQ(TranslateSql(c.sql, Dialect::SqlServer), c.sql);
  }
}

TEST(SqlTranslation, DropsNoLockAndRenamesIsNull) {
  EXPECT_EQ(Translate("SELECT TOP 1 Apunte FROM Movimientos WITH (NOLOCK) WHERE Cod_Empresa =1"),
            "SELECT Apunte FROM Movimientos WHERE Cod_Empresa =1 LIMIT 1");
  EXPECT_EQ(Translate("SELECT ISNULL(SUM(a.Debe), 0) AS Debe FROM Movimientos a WITH(nolock)"),
            "SELECT IFNULL(SUM(a.Debe), 0) AS Debe FROM Movimientos a");
  EXPECT_EQ(TranslateSql("SELECT ISNULL (MIN(Cuenta), '') AS Cuenta", Dialect::PostgreSql),
            "SELECT COALESCE (MIN(Cuenta), '') AS Cuenta");
}

TEST(SqlTranslation, NeverTouchesLiteralsQuotedNamesOrComments) {
  const std::string text =
      "SELECT Nombre FROM Cuentas WHERE Nombre = 'SELECT TOP 1 x WITH (NOLOCK) ISNULL(' "
      "AND [ISNULL] = \"TOP 2\" -- WITH (NOLOCK)\n/* TOP 3 */";
  EXPECT_EQ(Translate(text), text);
  EXPECT_EQ(Translate("SELECT 'It''s TOP 1' AS v"), "SELECT 'It''s TOP 1' AS v");
  EXPECT_EQ(TranslateSql("SELECT TOP 1 a FROM t WITH (NOLOCK)", Dialect::SqlServer),
            "SELECT TOP 1 a FROM t WITH (NOLOCK)");
}

TEST(SqlTranslation, TokensJoinBackToTheInput) {
  for (const char* sql : {"", "SELECT 'unterminated", "a--x", "/* open", "x=[a]]b]+1.5e", "ñ='ü'"}) {
    std::string joined;
    for (const SqlToken& token : TokenizeSql(sql)) joined += token.text;
    EXPECT_EQ(joined, sql);
  }
}

class EmbeddedDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = OpenSqlite(":memory:");
    db_->Execute("CREATE TABLE t (Id INTEGER PRIMARY KEY, Nombre TEXT NOT NULL, Importe NUMERIC)");
    db_->Execute("INSERT INTO t (Id, Nombre, Importe) VALUES (1, 'uno', 1.5)");
    db_->Execute("INSERT INTO t (Id, Nombre, Importe) VALUES (2, 'dos', NULL)");
  }
  std::shared_ptr<Connection> db_;
};

TEST_F(EmbeddedDriver, CountsAffectedRows) {
  EXPECT_EQ(db_->Execute("UPDATE t SET Nombre = Nombre"), 2);
  EXPECT_EQ(db_->Execute("UPDATE t SET Nombre = 'x' WHERE Id = 9"), 0);
  EXPECT_EQ(db_->Execute("DELETE FROM t WHERE Id = 2"), 1);
  EXPECT_EQ(db_->Execute("SELECT * FROM t"), 0);
}

TEST_F(EmbeddedDriver, ReadsColumnsByNameWithoutRegardToCase) {
  auto rows = db_->Open("SELECT Id, Nombre AS IDMandato, Importe FROM t ORDER BY Id");
  ASSERT_FALSE(rows->Eof());
  EXPECT_EQ(rows->Field("idmandato").ToText(), "uno");
  EXPECT_EQ(rows->Field("IdMandato").ToText(), "uno");
  EXPECT_EQ(rows->Field("IMPORTE").ToCurrency().ten_thousandths, 15000);
  rows->MoveNext();
  EXPECT_TRUE(rows->Field("Importe").IsNull());
  rows->MoveNext();
  EXPECT_TRUE(rows->Eof());
  EXPECT_EQ(CaughtError([&] { rows->Field("Id"); }).Number(), error_number::kNoCurrentRecord);
  rows->Close();
  EXPECT_EQ(CaughtError([&] { rows->Eof(); }).Number(), error_number::kObjectClosed);
}

TEST_F(EmbeddedDriver, ReportsDataAccessErrorsWithTheDatabasesMessage) {
  auto rows = db_->Open("SELECT Id FROM t");
  const Error missing = CaughtError([&] { rows->Field("Nope"); });
  EXPECT_EQ(missing.Number(), -2146825023);

  const Error rejected = CaughtError([&] { db_->Execute("SELECT * FROM Nowhere"); });
  EXPECT_EQ(rejected.Number(), -2147217900);
  EXPECT_EQ(rejected.Description(), "no such table: Nowhere");

  const Error duplicate = CaughtError([&] { db_->Execute("INSERT INTO t (Id, Nombre) VALUES (1, 'x')"); });
  EXPECT_EQ(duplicate.Number(), -2147217873);
  EXPECT_EQ(duplicate.Description(), "UNIQUE constraint failed: t.Id");

  const Error null = CaughtError([&] { db_->Execute("INSERT INTO t (Id) VALUES (3)"); });
  EXPECT_EQ(null.Number(), -2147217873);
}

TEST_F(EmbeddedDriver, RunsExactlyOneStatementPerCall) {
  const Error e = CaughtError([&] { db_->Execute("DELETE FROM t WHERE Id = 1; DROP TABLE t"); });
  EXPECT_EQ(e.Number(), -2147217900);
  auto rows = db_->Open("SELECT COUNT(*) AS n FROM t");
  EXPECT_EQ(rows->Field("n").ToInt32(), 2);  // nothing ran
  EXPECT_EQ(db_->Execute("DELETE FROM t WHERE Id = 1;  "), 1);
}

TEST_F(EmbeddedDriver, StaticCursorLetsWritesRunWhileReading) {
  auto rows = db_->Open("SELECT Id FROM t ORDER BY Id", Cursor::Static);
  int seen = 0;
  for (; !rows->Eof(); rows->MoveNext()) {
    db_->Execute("INSERT INTO t (Id, Nombre) VALUES (" + std::to_string(100 + rows->Field("Id").ToInt32()) + ", 'c')");
    ++seen;
  }
  EXPECT_EQ(seen, 2);
  EXPECT_EQ(db_->Open("SELECT COUNT(*) AS n FROM t")->Field("n").ToInt32(), 4);
}

int64_t RowCount(Connection& db) { return db.Open("SELECT COUNT(*) AS n FROM t")->Field("n").ToInt64(); }

TEST_F(EmbeddedDriver, AtomicScopeCommitsOrUndoesAndNests) {
  {
    AtomicScope outer(*db_);
    db_->Execute("INSERT INTO t (Id, Nombre) VALUES (3, 'tres')");
    {
      AtomicScope inner(*db_);
      db_->Execute("INSERT INTO t (Id, Nombre) VALUES (4, 'cuatro')");
    }  // undone: no commit
    outer.Commit();
  }
  EXPECT_EQ(RowCount(*db_), 3);
  {
    AtomicScope undone(*db_);
    db_->Execute("DELETE FROM t");
  }
  EXPECT_EQ(RowCount(*db_), 3);
}

TEST_F(EmbeddedDriver, AtomicScopeNestsInsideTheCallersTransaction) {
  db_->Execute("BEGIN TRANSACTION");
  {
    AtomicScope scope(*db_);
    db_->Execute("INSERT INTO t (Id, Nombre) VALUES (5, 'cinco')");
    scope.Commit();
  }
  db_->Execute("ROLLBACK TRANSACTION");  // the caller's decision wins
  EXPECT_EQ(RowCount(*db_), 2);
}

TEST(EmbeddedAtomicScope, AFailedCommitIsRolledBackAndLeavesNoTransactionOpen) {
  auto db = OpenSqlite(":memory:");
  db->Execute("PRAGMA foreign_keys = ON");
  db->Execute("CREATE TABLE parent (Id INTEGER PRIMARY KEY)");
  db->Execute("CREATE TABLE child (Id INTEGER REFERENCES parent (Id) DEFERRABLE INITIALLY DEFERRED)");
  {
    AtomicScope scope(*db);
    db->Execute("INSERT INTO child (Id) VALUES (7)");  // checked only at commit
    const Error e = CaughtError([&] { scope.Commit(); });
    EXPECT_EQ(e.Number(), -2147217873);
    EXPECT_EQ(e.Description(), "FOREIGN KEY constraint failed");
  }
  EXPECT_EQ(db->Open("SELECT COUNT(*) AS n FROM child")->Field("n").ToInt32(), 0);
  db->Execute("BEGIN");  // would fail if the scope had left its transaction open
  db->Execute("COMMIT");
}

TEST(EmbeddedDatabaseFile, RunsInWalWithFullSyncAndWaitsForOtherWriters) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("vornexa-wal-" + std::to_string(::getpid()) + ".db");
  std::filesystem::remove(path);
  {
    auto first = OpenSqlite(path.string());
    auto second = OpenSqlite(path.string());
    EXPECT_EQ(first->Open("PRAGMA journal_mode")->Field("journal_mode").ToText(), "wal");
    EXPECT_EQ(first->Open("PRAGMA synchronous")->Field("synchronous").ToInt32(), 2);
    CreateSchema(*first);

    // The second writer must wait for the first one's transaction, not fail.
    first->Execute("BEGIN IMMEDIATE");
    first->Execute("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, 1, 'a')");
    std::atomic<bool> done = false;
    std::thread writer([&] {
      second->Execute("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, 2, 'b')");
      done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(done);
    first->Execute("COMMIT");
    writer.join();
    EXPECT_EQ(first->Open("SELECT COUNT(*) AS n FROM Cuentas_Grupos")->Field("n").ToInt32(), 2);
  }
  std::filesystem::remove(path);
  std::filesystem::remove(path.string() + "-wal");
  std::filesystem::remove(path.string() + "-shm");
}

TEST(EmbeddedDatabaseFile, UnopenablePathIsAConnectionError) {
  const Error e = CaughtError([] { OpenSqlite("/nonexistent-dir/x/y.db"); });
  EXPECT_EQ(e.Number(), -2146824579);
  EXPECT_NE(e.Description().find("/nonexistent-dir/x/y.db"), std::string::npos);
}

}  // namespace
}  // namespace vornexa
