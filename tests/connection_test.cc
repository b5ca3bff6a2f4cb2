// What every connection promises, on each of the three backends: row counts,
// the two cursors, atomic scopes, errors with their numbers, text and amounts
// unchanged, and the SQL Server behaviours of LIKE and code order. Then what
// only a server shows: other sessions, a lost session, many at once.
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
  EXPECT_EQ(live->Field("Nombre").ToText(), "n572");
  live->MoveNext();
  EXPECT_TRUE(live->Eof());
  EXPECT_EQ(CaughtError([&] { live->Field("Cuenta"); }).Number(), err::kNoCurrentRecord);
  EXPECT_EQ(CaughtError([&] { live->MoveNext(); }).Number(), err::kNoCurrentRecord);
  live->Close();
  EXPECT_EQ(CaughtError([&] { live->Eof(); }).Number(), err::kObjectClosed);
}

// The embedded database's own descriptions are checked with its statement cache.
TEST_P(ConnectionContract, RejectedStatementsCarryTheirNumberAndTheDatabasesMessage) {
  InsertAccountRow(1, 5, "572", "Bancos");
  const std::pair<const char*, int32_t> cases[] = {
      {"SELEC Cuenta FROM Cuentas", err::kStatementRejected},
      {"INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta) VALUES (1, 5, '572')",
       err::kConstraintViolation},
      // One statement per call: what follows a semicolon never runs (not yet
      // through PostgreSQL's driver, which takes several).
      {"DELETE FROM Cuentas WHERE Cuenta = '572'; DROP TABLE Cuentas_Grupos",
       OnPostgreSql() ? 0 : err::kStatementRejected},
  };
  for (const auto& [sql, number] : cases) {
    if (number == 0) continue;
    const Error e = CaughtError([&] { Exec(sql); });
    EXPECT_EQ(e.Number(), number) << sql;
    EXPECT_EQ(e.Source(), kDataSource) << sql;
    // An ODBC driver's text as it gave it; its SQLSTATE beside it.
    if (!OnEmbedded()) EXPECT_EQ(e.Description().find("(SQLSTATE "), std::string::npos);
    if (!OnEmbedded()) EXPECT_EQ(e.SqlState().size(), 5u) << e.Description();
  }
  EXPECT_EQ(Count("SELECT Cuenta FROM Cuentas"), 1);
}

// Scopes nest: an inner one is undone alone, but only the outermost commit
// counts, and inside a transaction the caller opened not even that one.
TEST_P(ConnectionContract, AtomicScopesNestAndCommitOrUndoWhole) {
  for (bool callers_transaction : {false, true}) {
    SCOPED_TRACE(callers_transaction ? "inside the caller's transaction" : "alone");
    Exec("DELETE FROM Cuentas_Grupos");
    if (callers_transaction) Exec("BEGIN TRANSACTION");
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
      AtomicScope undone(*database_);
      InsertGroup(5);
      AtomicScope inner(*database_);
      InsertGroup(6);
      inner.Commit();
      // A statement failing inside leaves the connection usable.
      EXPECT_EQ(CaughtError([&] { InsertGroup(1); }).Number(), err::kConstraintViolation);
    }
    InsertGroup(7);
    EXPECT_EQ(GroupCodes(), (Codes{"1", "2", "3", "7"}));
    // The caller's rollback undoes all; without one, the connection is back
    // to committing each statement and a transaction of the caller's own.
    if (!callers_transaction) Exec("BEGIN TRANSACTION");
    InsertGroup(8);
    Exec("ROLLBACK TRANSACTION");
    EXPECT_EQ(GroupCodes(), callers_transaction ? Codes{} : (Codes{"1", "2", "3", "7"}));
  }
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
    const bool named = e.Description().find("FOREIGN KEY constraint failed") != std::string::npos;
    EXPECT_TRUE(OnPostgreSql() ? e.SqlState() == "23503" : named) << e.Description();
  }
  EXPECT_EQ(Count("SELECT Id FROM child"), 0);
  Exec("BEGIN TRANSACTION");  // would fail if the scope had left its transaction open
  Exec("ROLLBACK TRANSACTION");
  for (const char* table : {"child", "parent"}) Exec("DROP TABLE " + std::string(table));
}

TEST_P(ConnectionContract, TextIsStoredAndReadBackUnchanged) {
  // The last is longer than one piece of an ODBC driver's reads, with
  // characters of two units (UTF-16) and of four bytes (UTF-8) across every
  // piece boundary; it is only read, being longer than the column.
  std::string long_text;
  for (int i = 0; i < 1500; ++i) long_text += "ñ😀a";
  const std::string texts[] = {"Ñandú & Cía — O'Brien ''x 😀 {fn UCASE('a')} ?",
                               "Straße 𝄞 Ελλάδα 東京\r\nsegunda línea", long_text};
  for (const std::string& text : texts) {
    std::string literal = "'";
    for (char c : text) literal += c == '\'' ? "''" : std::string(1, c);
    literal += "'";
    EXPECT_EQ(Scalar("SELECT " + literal + " AS v"), text);
    if (text == long_text) continue;
    Exec("DELETE FROM Cuentas_Grupos");
    Exec("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, 1, " + literal + ")");
    EXPECT_EQ(Scalar("SELECT Nombre AS v FROM Cuentas_Grupos"), text);
  }
}

// SQLite keeps amounts as integers or doubles; a server's exact numerics
// arrive as decimal text. Either way they reach Currency exactly.
TEST_P(ConnectionContract, AmountsArriveExactly) {
  InsertEntry(1, 5, 1, "2024-03-01");
  InsertLine(1, 5, 1, 1, "572", "1234567890.1234", "0");
  InsertLine(1, 5, 1, 2, "572", "100", "0.0001");
  EXPECT_EQ(Column("SELECT Debe AS v FROM Movimientos ORDER BY Apunte"),
            (Codes{"1234567890.1234", "100"}));
  EXPECT_EQ(Scalar("SELECT Debe - Debe - 0.5 AS v FROM Movimientos WHERE Apunte = 2"), "-0.5");
  EXPECT_EQ(Scalar("SELECT Haber - Haber AS v FROM Movimientos WHERE Apunte = 1"), "0");
  EXPECT_EQ(database_->Open("SELECT ISNULL(SUM(Debe), 0) + SUM(Haber) AS v FROM Movimientos")
                ->Field("V").ToCurrency(), Currency{12345679901235});
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

class ServerConnection : public BackendTest {
 protected:
  static std::shared_ptr<Connection> OtherSession() {
    return OpenOdbc(PostgreSqlConnectionString(), Dialect::PostgreSql);
  }
};

TEST_P(ServerConnection, EveryCodeColumnUsesTheBytewiseCollation) {
  EXPECT_EQ(Column("SELECT table_name || '.' || column_name AS v FROM information_schema.columns "
                   "WHERE table_schema = current_schema() AND collation_name = 'C' ORDER BY 1"),
            (Codes{"acumulados.cuenta", "acumulados_dpto.cuenta", "cuentas.cuenta",
                   "movimientos.cuenta", "previsiones_cobro.cuentaoriginal", "razon_social.nif"}));
}

// An operation passes it on under its own source, as any failure (the error suite).
TEST_P(ServerConnection, ALostSessionGivesTheConnectionNumberOnEveryLaterCall) {
  auto victim = OtherSession();
  const std::string pid = victim->Open("SELECT pg_backend_pid() AS pid")->Field("pid").ToText();
  // The server ends that session as if its process had been killed.
  Scalar("SELECT pg_terminate_backend(" + pid + ") AS v");
  for (int attempt = 0; attempt < 2; ++attempt) {
    const Error statement = CaughtError([&] { victim->Execute("SELECT 1"); });
    EXPECT_EQ(statement.Number(), err::kConnectionUnusable) << statement.Description();
    EXPECT_FALSE(statement.SqlState().empty()) << statement.Description();
    EXPECT_EQ(CaughtError([&] { victim->Open("SELECT 1 AS v"); }).Number(), err::kConnectionUnusable);
  }
}

TEST_P(ServerConnection, EightThreadsSaveAndReadBalancesEachInItsOwnSession) {
  constexpr int kThreads = 8, kAccountsPerThread = 25;
  InsertAccountRow(1, 5, "4300", "Clientes");
  Exec("INSERT INTO Departamentos (Cod_Empresa, Codigo) VALUES (1, 1), (1, 2), (1, 3)");
  Exec("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, Apertura, D1, H1) "
       "VALUES (1, 5, '572', 3, 1500.25, 100, 0.25)");
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      try {
        clsCuenta bank = NewAccount("572");
        bank.Conexion(OtherSession());
        for (int i = 0; i < kAccountsPerThread; ++i) {
          clsCuenta account = NewAccount(std::to_string(43000000 + 1000 * t + i));
          account.Nif = account.F_Razon = "B" + account.Cuenta;
          account.Insertar();
          EXPECT_EQ(bank.Dev_Saldo(5), Currency{16000000}) << "thread " << t;
        }
      } catch (const std::exception& e) {
        ADD_FAILURE() << "thread " << t << ": " << e.what();
      }
      clsCuenta().Conexion(nullptr);
    });
  }
  for (std::thread& thread : threads) thread.join();
  const int accounts = kThreads * kAccountsPerThread;
  EXPECT_EQ(Count("SELECT Cuenta FROM Acumulados WHERE Cuenta LIKE '4300____'"), accounts);
  EXPECT_EQ(Count("SELECT Cuenta FROM Acumulados_Dpto"), 3 * accounts);
  EXPECT_EQ(Count("SELECT Nif FROM Razon_Social WHERE Nombre = Nif"), accounts);
}

VORNEXA_ON_SERVERS(ServerConnection);

}  // namespace
}  // namespace vornexa::testing
