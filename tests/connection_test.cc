// What every connection promises, on each of the three backends: row counts,
// the two cursors, atomic scopes, errors with their numbers, text and amounts
// unchanged, and the SQL Server behaviours of LIKE and code order. Then what
// only the embedded database file does.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "support/fixtures.h"

namespace vornexa::testing {
namespace {

using Codes = std::vector<std::string>;
namespace err = error_number;

class ConnectionContract : public BackendTest {
 protected:
  void InsertGroup(int code) {
    Exec("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, " +
         std::to_string(code) + ", 'Grupo')");
  }
  Codes GroupCodes() { return Column("SELECT Codigo AS v FROM Cuentas_Grupos ORDER BY Codigo"); }
};

TEST_P(ConnectionContract, ExecuteCountsTheRowsItChanged) {
  for (int code : {1, 2, 3}) InsertGroup(code);
  EXPECT_EQ(database_->Execute("UPDATE Cuentas_Grupos SET Nombre ='x' WHERE Cod_Empresa =1"), 3);
  EXPECT_EQ(database_->Execute("UPDATE Cuentas_Grupos SET Nombre ='x' WHERE Codigo =9"), 0);
  // A row rewritten with its own value still counts, as the registry's
  // existence test relies on.
  EXPECT_EQ(database_->Execute("UPDATE Cuentas_Grupos SET Codigo = 2 WHERE Codigo = 2"), 1);
  EXPECT_EQ(database_->Execute("SELECT Codigo FROM Cuentas_Grupos"), 0);
  EXPECT_EQ(database_->Execute("DELETE FROM Cuentas_Grupos WHERE Codigo > 1"), 2);
}

TEST_P(ConnectionContract, StaticCursorHoldsItsRowsAndForwardOnlyReadsTheLiveResult) {
  for (const char* code : {"572", "4300", "43"}) InsertAccountRow(1, 5, code, "n" + std::string(code));
  Exec("UPDATE Cuentas SET Nombre = 'sin nombre' WHERE Cuenta = '572'");

  // Writes run on the connection while a static cursor is read.
  Codes seen;
  auto held = database_->Open("SELECT Cuenta FROM Cuentas ORDER BY Cuenta", Cursor::Static);
  for (; !held->Eof(); held->MoveNext()) {
    seen.push_back(held->Field("CUENTA").ToText());
    Exec("DELETE FROM Cuentas WHERE Cod_Ejercicio = 5 AND Cuenta = '4300'");
    InsertAccountRow(1, 6, seen.back());
  }
  EXPECT_EQ(seen, (Codes{"43", "4300", "572"}));
  EXPECT_EQ(Count("SELECT Cuenta FROM Cuentas"), 5);

  auto live = database_->Open("SELECT Cuenta, Nombre, NULL AS Nada FROM Cuentas WHERE "
                              "Cod_Ejercicio = 5 ORDER BY Cuenta");
  ASSERT_FALSE(live->Eof());
  EXPECT_EQ(live->Field("cuenta").ToText(), "43");
  EXPECT_EQ(live->Field("NOMBRE").ToText(), "n43");
  EXPECT_TRUE(live->Field("nada").IsNull());
  EXPECT_EQ(CaughtError([&] { live->Field("Nif"); }).Number(), err::kItemNotFound);
  live->MoveNext();
  EXPECT_EQ(live->Field("Nombre").ToText(), "sin nombre");
  live->MoveNext();
  EXPECT_TRUE(live->Eof());
  EXPECT_EQ(CaughtError([&] { live->Field("Cuenta"); }).Number(), err::kNoCurrentRecord);
  EXPECT_EQ(CaughtError([&] { live->MoveNext(); }).Number(), err::kNoCurrentRecord);
  live->Close();
  EXPECT_EQ(CaughtError([&] { live->Eof(); }).Number(), err::kObjectClosed);
}

TEST_P(ConnectionContract, RejectedStatementsCarryTheirNumberAndTheDatabasesMessage) {
  InsertAccountRow(1, 5, "572", "Bancos");
  const struct {
    const char* sql;
    int32_t number;
    const char* embedded_description;  // an ODBC driver's carries its SQLSTATE
  } cases[] = {
      {"SELEC Cuenta FROM Cuentas", err::kStatementRejected, "near \"SELEC\": syntax error"},
      {"SELECT * FROM Nowhere", err::kStatementRejected, "no such table: Nowhere"},
      {"INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta) VALUES (1, 5, '572')",
       err::kConstraintViolation,
       "UNIQUE constraint failed: Cuentas.Cod_Empresa, Cuentas.Cod_Ejercicio, Cuentas.Cuenta"},
      {"INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nombre) VALUES (1, 5, '573', "
       "NULL)",
       err::kConstraintViolation, "NOT NULL constraint failed: Cuentas.Nombre"},
      // One statement per call: what follows a semicolon never runs (not yet
      // through PostgreSQL's driver, which takes several).
      {"DELETE FROM Cuentas WHERE Cuenta = '572'; DROP TABLE Cuentas_Grupos",
       err::kStatementRejected, "Solo se admite una instrucción por llamada"},
  };
  for (const auto& c : cases) {
    if (OnPostgreSql() && std::string_view(c.sql).starts_with("DELETE")) continue;
    const Error e = CaughtError([&] { Exec(c.sql); });
    EXPECT_EQ(e.Number(), c.number) << c.sql;
    EXPECT_EQ(e.Source(), kDataSource) << c.sql;
    if (OnEmbedded()) {
      EXPECT_EQ(e.Description(), c.embedded_description);
    } else {
      // The driver's text as it gave it; its SQLSTATE beside it.
      EXPECT_EQ(e.Description().find("(SQLSTATE "), std::string::npos) << e.Description();
      EXPECT_EQ(e.SqlState().size(), 5u) << e.Description();
    }
  }
  EXPECT_EQ(Count("SELECT Cuenta FROM Cuentas"), 1);
}

TEST_P(ConnectionContract, AtomicScopesNestInsideTheCallersTransaction) {
  Exec("BEGIN TRANSACTION");
  InsertGroup(1);
  {
    AtomicScope outer(*database_);
    InsertGroup(2);
    {
      AtomicScope inner(*database_);
      InsertGroup(3);
      inner.Commit();
    }
    {
      AtomicScope undone(*database_);
      InsertGroup(4);
    }
    outer.Commit();
  }
  {
    AtomicScope failed(*database_);
    InsertGroup(5);
    // A statement failing inside leaves the caller's transaction usable.
    EXPECT_EQ(CaughtError([&] { InsertGroup(1); }).Number(), err::kConstraintViolation);
  }
  InsertGroup(6);
  EXPECT_EQ(GroupCodes(), (Codes{"1", "2", "3", "6"}));
  // No scope committed the caller's transaction: its rollback undoes all.
  Exec("ROLLBACK TRANSACTION");
  EXPECT_EQ(GroupCodes(), Codes{});
}

TEST_P(ConnectionContract, AtomicScopesWithoutACallersTransactionCommitOrUndoWhole) {
  {
    AtomicScope kept(*database_);
    InsertGroup(1);
    {
      AtomicScope undone(*database_);
      InsertGroup(2);
    }
    kept.Commit();
  }
  {
    AtomicScope undone(*database_);
    InsertGroup(3);
    AtomicScope inner(*database_);
    InsertGroup(4);
    inner.Commit();
  }
  InsertGroup(5);
  EXPECT_EQ(GroupCodes(), (Codes{"1", "5"}));
  // The connection is back to committing each statement: a transaction of
  // the caller's own starts and ends as usual.
  Exec("BEGIN TRANSACTION");
  InsertGroup(6);
  Exec("ROLLBACK TRANSACTION");
  EXPECT_EQ(GroupCodes(), (Codes{"1", "5"}));
}

TEST_P(ConnectionContract, AFailedCommitIsUndoneAndLeavesNoTransactionOpen) {
  for (const char* table : {"child", "parent"}) Exec("DROP TABLE IF EXISTS " + std::string(table));
  Exec("CREATE TABLE parent (Id INTEGER PRIMARY KEY)");
  Exec("CREATE TABLE child (Id INTEGER REFERENCES parent (Id) DEFERRABLE INITIALLY DEFERRED)");
  if (!OnPostgreSql()) Exec("PRAGMA foreign_keys = ON");
  {
    AtomicScope scope(*database_);
    Exec("INSERT INTO child (Id) VALUES (7)");  // checked only at commit
    const Error e = CaughtError([&] { scope.Commit(); });
    EXPECT_EQ(e.Number(), err::kConstraintViolation);
    if (OnPostgreSql()) {
      EXPECT_EQ(e.SqlState(), "23503") << e.Description();
    } else {
      EXPECT_NE(e.Description().find("FOREIGN KEY constraint failed"), std::string::npos)
          << e.Description();
    }
  }
  EXPECT_EQ(Count("SELECT Id FROM child"), 0);
  Exec("BEGIN TRANSACTION");  // would fail if the scope had left its transaction open
  Exec("ROLLBACK TRANSACTION");
  for (const char* table : {"child", "parent"}) Exec("DROP TABLE " + std::string(table));
}

TEST_P(ConnectionContract, UnicodeTextIsStoredAndReadBackUnchanged) {
  InsertAccountRow(1, 5, "4300");
  clsCuenta saved = NewAccount("43000001");
  saved.Nombre = "Ñandú & Cía — O'Brien ''x 😀 {fn UCASE('a')} ?";
  saved.Direccion = "Straße 𝄞 Ελλάδα 東京\r\nsegunda línea";
  saved.Insertar();
  clsCuenta loaded = NewAccount("43000001");
  ASSERT_TRUE(loaded.Cargar());
  EXPECT_EQ(loaded.Nombre, saved.Nombre);
  EXPECT_EQ(loaded.Direccion, saved.Direccion);

  // Longer than one piece of an ODBC driver's reads, with characters of two
  // units (UTF-16) and of four bytes (UTF-8) across every piece boundary.
  std::string long_text;
  for (int i = 0; i < 1500; ++i) long_text += "ñ😀a";
  EXPECT_EQ(Scalar("SELECT '" + long_text + "' AS v"), long_text);
}

// SQLite keeps amounts as integers or doubles; a server's exact numerics
// arrive as decimal text. Either way they reach Currency exactly.
TEST_P(ConnectionContract, AmountsArriveExactly) {
  InsertEntry(1, 5, 1, "2024-03-01");
  InsertLine(1, 5, 1, 1, "572", "1234567890.1234", "0");
  InsertLine(1, 5, 1, 2, "572", "100", "0.0001");
  EXPECT_EQ(Scalar("SELECT Debe AS v FROM Movimientos WHERE Apunte = 1"), "1234567890.1234");
  EXPECT_EQ(Scalar("SELECT Debe AS v FROM Movimientos WHERE Apunte = 2"), "100");
  EXPECT_EQ(Scalar("SELECT Debe - Debe - 0.5 AS v FROM Movimientos WHERE Apunte = 2"), "-0.5");
  EXPECT_EQ(Scalar("SELECT Haber - Haber AS v FROM Movimientos WHERE Apunte = 1"), "0");
  auto rows = database_->Open(
      "SELECT ISNULL(SUM(Debe), 0) AS Debe, ISNULL(SUM(Haber), 0) AS Haber FROM Movimientos");
  EXPECT_EQ(rows->Field("Debe").ToCurrency(), Currency{12345679901234});
  EXPECT_EQ(rows->Field("haber").ToCurrency(), Currency{1});
}

TEST_P(ConnectionContract, LikeIgnoresCaseAndCodesOrderByteByByteAsOnSqlServer) {
  InsertEntry(1, 5, 1, "2024-03-01");
  InsertLine(1, 5, 1, 1, "572", "10", "0", "ALQUILER local");
  InsertLine(1, 5, 1, 2, "572", "10", "0", "Luz");
  EXPECT_EQ(Count("SELECT Apunte FROM Movimientos WHERE Concepto LIKE '%alquiler%'"), 1);
  EXPECT_EQ(Count("SELECT Apunte FROM Movimientos WHERE Concepto LIKE 'l_z'"), 1);
  EXPECT_EQ(Count("SELECT Apunte FROM Movimientos WHERE Concepto NOT LIKE '%LOCAL%'"), 1);
  // '-' comes before the digits in byte order; a linguistic collation would
  // skip it and put "43-1" after "430".
  for (const char* code : {"44", "430", "43-1", "4", "43"}) InsertAccountRow(1, 5, code);
  EXPECT_EQ(Column("SELECT Cuenta AS v FROM Cuentas ORDER BY Cuenta"),
            (Codes{"4", "43", "43-1", "430", "44"}));
  EXPECT_EQ(Scalar("SELECT TOP 1 Cuenta AS v FROM Cuentas WHERE Cuenta > '43-1' ORDER BY Cuenta"),
            "430");
}

VORNEXA_ON_ALL_BACKENDS(ConnectionContract);

TEST(EmbeddedDriver, AFileRunsInWalWithFullSyncAndWaitsForOtherWriters) {
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
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path.string() + suffix);
}

TEST(EmbeddedDriver, AnUnopenablePathIsAConnectionError) {
  const Error e = CaughtError([] { OpenSqlite("/nonexistent-dir/x/y.db"); });
  EXPECT_EQ(e.Number(), err::kConnectionUnusable);
  EXPECT_NE(e.Description().find("/nonexistent-dir/x/y.db"), std::string::npos);
}

}  // namespace
}  // namespace vornexa::testing
