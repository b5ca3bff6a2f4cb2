// The ODBC driver: text across the driver, its diagnostics, cursors, counts
// and atomic scopes on SQLite through ODBC and on the live PostgreSQL server,
// a lost or unreachable server, and eight threads saving at once.
#include <gtest/gtest.h>

#ifdef VORNEXA_WITH_ODBC

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "support/caught_error.h"
#include "support/fixtures.h"
#include "vornexa/data/odbc_connection.h"
#include "vornexa/data/odbc_handle.h"
#include "vornexa/data/odbc_text.h"
#include "vornexa/context/shared_connection.h"

namespace vornexa::testing {
namespace {

constexpr int32_t kRejected = error_number::kStatementRejected;
constexpr int32_t kConstraint = error_number::kConstraintViolation;
constexpr int32_t kUnusable = error_number::kConnectionUnusable;

bool Contains(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

std::vector<Backend> BackendsNamed(std::initializer_list<std::string_view> names) {
  std::vector<Backend> chosen;
  for (const Backend& backend : TestBackends()) {
    if (std::find(names.begin(), names.end(), backend.name) != names.end()) {
      chosen.push_back(backend);
    }
  }
  return chosen;
}

// --- Text across the driver -------------------------------------------------

TEST(OdbcText, Utf8AndUtf16RoundTrip) {
  for (const std::string& text : {std::string(), std::string("Cuenta 572"),
                                  std::string("Ñandú € ü"), std::string("😀 y 𝄞"),
                                  std::string("a\0b", 3)}) {
    const odbc::WideText wide = odbc::ToWide(text);
    ASSERT_EQ(wide.back(), 0);
    EXPECT_EQ(odbc::FromWide(wide.data(), wide.size() - 1), text);
  }
  EXPECT_EQ(odbc::ToWide("Ñ😀"), (odbc::WideText{0x00D1, 0xD83D, 0xDE00, 0}));
}

TEST(OdbcText, MalformedUtf8IsRefusedNotAltered) {
  const std::pair<std::string, int> cases[] = {
      {"ab\xC3", 2},              // cut short
      {"\x80", 0},                // continuation byte first
      {"a\xC0\xAF", 1},           // overlong '/'
      {"xy\xED\xA0\x80", 2},      // a surrogate
      {"\xF4\x90\x80\x80", 0},    // beyond U+10FFFF
  };
  for (const auto& [text, offset] : cases) {
    EXPECT_VORNEXA_ERROR(odbc::ToWide(text), kRejected, "Vornexa.Data",
                         "El texto no es UTF-8 válido (byte " + std::to_string(offset) + ")");
  }
  // An unpaired surrogate from a driver becomes U+FFFD.
  const SQLWCHAR lone[] = {'a', 0xD800, 'b', 0xDC00};
  EXPECT_EQ(odbc::FromWide(lone, 4), "a\uFFFDb\uFFFD");
}

// --- Diagnostics ------------------------------------------------------------

TEST(OdbcDiagnostics, NumbersFollowTheSqlStateClass) {
  using odbc::ErrorNumber;
  EXPECT_EQ(ErrorNumber({"23505", 1, ""}, Dialect::PostgreSql), kConstraint);
  EXPECT_EQ(ErrorNumber({"23000", 2627, ""}, Dialect::SqlServer), kConstraint);
  EXPECT_EQ(ErrorNumber({"08S01", 35, ""}, Dialect::PostgreSql), kUnusable);
  EXPECT_EQ(ErrorNumber({"08001", 0, ""}, Dialect::SqlServer), kUnusable);
  EXPECT_EQ(ErrorNumber({"42601", 1, ""}, Dialect::PostgreSql), kRejected);
  EXPECT_EQ(ErrorNumber({"HY000", 1, ""}, Dialect::Sqlite), kRejected);
  // PostgreSQL's end of a session; the same state means nothing to SQL Server.
  EXPECT_EQ(ErrorNumber({"57P01", 35, ""}, Dialect::PostgreSql), kUnusable);
  EXPECT_EQ(ErrorNumber({"57P01", 35, ""}, Dialect::SqlServer), kRejected);
  // SQLite's constraint code, plain and extended (2067: unique).
  EXPECT_EQ(ErrorNumber({"HY000", 19, ""}, Dialect::Sqlite), kConstraint);
  EXPECT_EQ(ErrorNumber({"HY000", 2067, ""}, Dialect::Sqlite), kConstraint);
  EXPECT_EQ(ErrorNumber({"HY000", 19, ""}, Dialect::PostgreSql), kRejected);
}

TEST(OdbcDiagnostics, TheFirstRecordIsRaisedAsTheDriverGaveIt) {
  const Error e = CaughtError([] {
    odbc::Raise({{"23505", 7, "ERROR: duplicate key;\nError while executing the query\n"},
                 {"01000", 0, "aviso"}},
                Dialect::PostgreSql);
  });
  EXPECT_EQ(e.Number(), kConstraint);
  EXPECT_EQ(e.Source(), "Vornexa.Data");
  EXPECT_EQ(e.Description(), "ERROR: duplicate key;\nError while executing the query\n");
  EXPECT_EQ(e.SqlState(), "23505");
  EXPECT_EQ(e.NativeError(), 7);
}

#ifdef VORNEXA_SCRIPTED_ODBC_DRIVER
// A driver that reports -1 for every count and two records for a failure.
TEST(OdbcDriverAnswers, PassThroughUnknownCountsAndTheFirstDiagnosticAsGiven) {
  const auto connection =
      OpenOdbc("Driver=" VORNEXA_SCRIPTED_ODBC_DRIVER ";", Dialect::Sqlite);
  EXPECT_EQ(connection->Execute("UPDATE Cuentas SET Nombre = 'x'"), -1);
  const Error e = CaughtError([&] { connection->Execute("FAIL"); });
  EXPECT_EQ(e.Number(), kRejected);
  EXPECT_EQ(e.Description(), "Incorrect syntax near 'FAIL'.\n");
  EXPECT_EQ(e.SqlState(), "42000");
  EXPECT_EQ(e.NativeError(), 156);
}
#endif

TEST(OdbcOpening, UnknownDriverIsAConnectionThatCannotBeOpened) {
  const Error e = CaughtError(
      [] { OpenOdbc("Driver={Vornexa No Such Driver};Database=x;", Dialect::PostgreSql); });
  EXPECT_EQ(e.Number(), kUnusable);
  EXPECT_EQ(e.Source(), "Vornexa.Data");
  EXPECT_TRUE(Contains(e.Description(), "Vornexa No Such Driver")) << e.Description();
  EXPECT_EQ(e.SqlState().size(), 5u) << e.SqlState();
}

// --- Behaviour shared by the ODBC backends ----------------------------------

class OdbcDriver : public BackendTest {
 protected:
  void InsertGroup(int code) {
    Exec("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, " +
         std::to_string(code) + ", 'Grupo')");
  }
  std::string GroupCodes() {
    std::string codes;
    auto rows = database_->Open("SELECT Codigo FROM Cuentas_Grupos ORDER BY Codigo");
    for (; !rows->Eof(); rows->MoveNext()) codes += rows->Field("Codigo").ToText() + " ";
    return codes;
  }
  bool OnPostgreSql() const { return GetParam().name == "PostgreSql"; }
};

TEST_P(OdbcDriver, RejectedStatementsCarryTheDriversDiagnostics) {
  InsertAccountRow(1, 5, "572", "Bancos");
  const Error duplicate = CaughtError([&] { InsertAccountRow(1, 5, "572", "Otra"); });
  EXPECT_EQ(duplicate.Number(), kConstraint);
  EXPECT_EQ(duplicate.Source(), "Vornexa.Data");
  EXPECT_EQ(duplicate.SqlState(), OnPostgreSql() ? "23505" : "HY000");
  if (!OnPostgreSql()) EXPECT_EQ(duplicate.NativeError() & 0xFF, 19);

  const Error syntax = CaughtError([&] { Exec("SELEC Cuenta FROM Cuentas"); });
  EXPECT_EQ(syntax.Number(), kRejected);
  EXPECT_TRUE(Contains(syntax.Description(), "SELEC")) << syntax.Description();
  EXPECT_EQ(syntax.SqlState(), OnPostgreSql() ? "42601" : "HY000");
  // The database's own text, nothing added.
  EXPECT_FALSE(Contains(syntax.Description(), "SQLSTATE")) << syntax.Description();

  // Through a public operation: its source, the driver's number and text,
  // and creation undone as a whole on the server too.
  InsertAccountRow(1, 5, "4300");
  Exec("DROP TABLE Acumulados");
  clsCuenta account = NewAccount("43000001");
  const Error failed = CaughtError([&] { account.Insertar(); });
  EXPECT_EQ(failed.Number(), kRejected);
  EXPECT_EQ(failed.Source(), "Cuentas::Insertar");
  EXPECT_TRUE(Contains(failed.Description(), OnPostgreSql() ? "acumulados" : "no such table"))
      << failed.Description();
  EXPECT_EQ(failed.SqlState(), OnPostgreSql() ? "42P01" : "HY000");
  EXPECT_EQ(Count("SELECT Cuenta FROM Cuentas WHERE Cuenta = '43000001'"), 0);
}

TEST_P(OdbcDriver, UnicodeTextIsStoredAndReadBackUnchanged) {
  InsertAccountRow(1, 5, "4300");
  clsCuenta saved = NewAccount("43000001");
  saved.Nombre = "Ñandú & Cía — O'Brien ''x 😀 {fn UCASE('a')} ?";
  saved.Direccion = "Straße 𝄞 Ελλάδα 東京\r\nsegunda línea";
  saved.Insertar();

  clsCuenta loaded = NewAccount("43000001");
  ASSERT_TRUE(loaded.Cargar());
  EXPECT_EQ(loaded.Nombre, saved.Nombre);
  EXPECT_EQ(loaded.Direccion, saved.Direccion);

  // Longer than one piece of the driver's reads, with characters of two
  // units (UTF-16) and of four bytes (UTF-8) across every piece boundary.
  std::string long_text;
  for (int i = 0; i < 1500; ++i) long_text += "ñ😀a";
  EXPECT_EQ(Scalar("SELECT '" + long_text + "' AS v"), long_text);
}

// SQLite keeps amounts as integers or doubles; the server's exact numerics
// arrive as decimal text. Either way they reach Currency exactly.
TEST_P(OdbcDriver, AmountsArriveExactly) {
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
  EXPECT_EQ(database_->Open("SELECT Haber FROM Movimientos WHERE Apunte = 2")->Field("Haber").ToCurrency(),
            Currency{1});
}

TEST_P(OdbcDriver, StaticCursorHoldsItsRowsAndForwardOnlyReadsTheLiveResult) {
  for (const char* code : {"572", "4300", "43"}) InsertAccountRow(1, 5, code, "n" + std::string(code));

  auto held = database_->Open("SELECT Cuenta, Nombre FROM Cuentas ORDER BY Cuenta", Cursor::Static);
  Exec("DELETE FROM Cuentas WHERE Cuenta = '4300'");
  std::string seen;
  for (; !held->Eof(); held->MoveNext()) seen += held->Field("CUENTA").ToText() + " ";
  EXPECT_EQ(seen, "43 4300 572 ");

  auto live = database_->Open("SELECT Cuenta, Nombre FROM Cuentas ORDER BY Cuenta");
  ASSERT_FALSE(live->Eof());
  EXPECT_EQ(live->Field("cuenta").ToText(), "43");
  EXPECT_EQ(live->Field("NOMBRE").ToText(), "n43");
  EXPECT_EQ(CaughtError([&] { live->Field("Nif"); }).Number(), error_number::kItemNotFound);
  live->MoveNext();
  EXPECT_EQ(live->Field("Cuenta").ToText(), "572");
  live->MoveNext();
  EXPECT_TRUE(live->Eof());
  EXPECT_EQ(CaughtError([&] { live->Field("Cuenta"); }).Number(), error_number::kNoCurrentRecord);
  EXPECT_EQ(CaughtError([&] { live->MoveNext(); }).Number(), error_number::kNoCurrentRecord);
  live->Close();
  EXPECT_EQ(CaughtError([&] { live->Eof(); }).Number(), error_number::kObjectClosed);
}

TEST_P(OdbcDriver, ExecuteCountsTheRowsItChanged) {
  for (int code : {1, 2, 3}) InsertGroup(code);
  EXPECT_EQ(database_->Execute("UPDATE Cuentas_Grupos SET Nombre ='x' WHERE Cod_Empresa =1"), 3);
  EXPECT_EQ(database_->Execute("UPDATE Cuentas_Grupos SET Nombre ='x' WHERE Codigo =9"), 0);
  // A row rewritten with its own value still counts as changed, as the
  // registry's existence test relies on.
  EXPECT_EQ(database_->Execute("UPDATE Cuentas_Grupos SET Codigo = 2 WHERE Codigo = 2"), 1);
  EXPECT_EQ(database_->Execute("SELECT Codigo FROM Cuentas_Grupos"), 0);
  EXPECT_EQ(database_->Execute("DELETE FROM Cuentas_Grupos WHERE Codigo > 1"), 2);
}

TEST_P(OdbcDriver, AtomicScopesNestInsideTheCallersTransaction) {
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
    EXPECT_EQ(CaughtError([&] { InsertGroup(1); }).Number(), kConstraint);
  }
  InsertGroup(6);
  EXPECT_EQ(GroupCodes(), "1 2 3 6 ");
  // No scope committed the caller's transaction: its rollback undoes all.
  Exec("ROLLBACK TRANSACTION");
  EXPECT_EQ(GroupCodes(), "");
}

TEST_P(OdbcDriver, AtomicScopesWithoutACallersTransactionCommitOrUndoWhole) {
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
  EXPECT_EQ(GroupCodes(), "1 5 ");
  // The connection is back to committing each statement: a transaction of
  // the caller's own starts and ends as usual.
  Exec("BEGIN TRANSACTION");
  InsertGroup(6);
  Exec("ROLLBACK TRANSACTION");
  EXPECT_EQ(GroupCodes(), "1 5 ");
}

INSTANTIATE_TEST_SUITE_P(, OdbcDriver, ::testing::ValuesIn(BackendsNamed({"SqliteOdbc", "PostgreSql"})),
                         [](const auto& info) { return info.param.name; });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(OdbcDriver);

// --- The dialect behaviours every backend shares ----------------------------

class SqlDialect : public BackendTest {};

TEST_P(SqlDialect, LikeMatchesWithoutRegardToCaseAsOnSqlServer) {
  InsertEntry(1, 5, 1, "2024-03-01");
  InsertLine(1, 5, 1, 1, "572", "10", "0", "ALQUILER local");
  InsertLine(1, 5, 1, 2, "572", "10", "0", "Luz");
  EXPECT_EQ(Count("SELECT Apunte FROM Movimientos WHERE Concepto LIKE '%alquiler%'"), 1);
  EXPECT_EQ(Count("SELECT Apunte FROM Movimientos WHERE Concepto LIKE 'l_z'"), 1);
  EXPECT_EQ(Count("SELECT Apunte FROM Movimientos WHERE Concepto NOT LIKE '%LOCAL%'"), 1);
}

TEST_P(SqlDialect, CodesOrderByteByByte) {
  // '-' comes before the digits in byte order; a linguistic collation would
  // skip it and put "43-1" after "430".
  for (const char* code : {"44", "430", "43-1", "4", "43"}) InsertAccountRow(1, 5, code);
  std::string order;
  auto rows = database_->Open("SELECT Cuenta FROM Cuentas ORDER BY Cuenta");
  for (; !rows->Eof(); rows->MoveNext()) order += rows->Field("Cuenta").ToText() + " ";
  EXPECT_EQ(order, "4 43 43-1 430 44 ");
  EXPECT_EQ(Scalar("SELECT TOP 1 Cuenta AS v FROM Cuentas WHERE Cuenta > '43-1' ORDER BY Cuenta"),
            "430");
}

VORNEXA_ON_ALL_BACKENDS(SqlDialect);

// --- The live PostgreSQL server ---------------------------------------------

// A port on loopback that nobody listens on, or that listens and never answers.
class LoopbackPort {
 public:
  explicit LoopbackPort(bool listening) {
    socket_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(socket_, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    if (listening) {
      listen(socket_, 4);
    } else {
      close(socket_);
      socket_ = -1;
    }
  }
  ~LoopbackPort() {
    if (socket_ >= 0) close(socket_);
  }
  std::string ConnectionString() const {
    return "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + std::to_string(port_) +
           ";Database=vornexa_test;Uid=vornexa;Pwd=x;";
  }

 private:
  int socket_ = -1;
  int port_ = 0;
};

class PostgreSqlServer : public BackendTest {
 protected:
  std::shared_ptr<Connection> SecondConnection() {
    return OpenOdbc(PostgreSqlConnectionString(), Dialect::PostgreSql);
  }
};

TEST_P(PostgreSqlServer, CodeColumnsUseTheBytewiseCollation) {
  EXPECT_EQ(Count("SELECT column_name FROM information_schema.columns WHERE collation_name = 'C' "
                  "AND table_name IN ('cuentas', 'acumulados', 'acumulados_dpto', 'movimientos', "
                  "'previsiones_cobro', 'razon_social')"),
            6);
  EXPECT_EQ(Scalar("SELECT collation_name AS v FROM information_schema.columns WHERE table_name = "
                   "'cuentas' AND column_name = 'cuenta'"),
            "C");
}

TEST_P(PostgreSqlServer, AtomicScopeCommitsForOtherConnectionsToSee) {
  auto other = SecondConnection();
  {
    AtomicScope scope(*database_);
    Exec("INSERT INTO Cuentas_Grupos (Cod_Empresa, Codigo, Nombre) VALUES (1, 1, 'a')");
    // Not committed yet: another connection does not see it.
    EXPECT_TRUE(other->Open("SELECT Codigo FROM Cuentas_Grupos")->Eof());
    scope.Commit();
  }
  EXPECT_EQ(other->Open("SELECT Codigo FROM Cuentas_Grupos")->Field("Codigo").ToInt16(), 1);
}

TEST_P(PostgreSqlServer, LostConnectionGivesTheConnectionNumberOnEveryLaterCall) {
  auto victim = SecondConnection();
  const std::string pid = victim->Open("SELECT pg_backend_pid() AS pid")->Field("pid").ToText();
  // The server ends that session as if its process had been killed.
  Scalar("SELECT pg_terminate_backend(" + pid + ") AS v");
  for (int attempt = 0; attempt < 2; ++attempt) {
    const Error statement = CaughtError([&] { victim->Execute("SELECT 1"); });
    EXPECT_EQ(statement.Number(), kUnusable) << statement.Description();
    EXPECT_FALSE(statement.SqlState().empty()) << statement.Description();
    EXPECT_EQ(CaughtError([&] { victim->Open("SELECT 1 AS v"); }).Number(), kUnusable);
  }
  // Through a public operation, under its source.
  clsCuenta account = NewAccount("572");
  account.Conexion(victim);
  const Error load = CaughtError([&] { account.Cargar(); });
  EXPECT_EQ(load.Number(), kUnusable);
  EXPECT_EQ(load.Source(), "Cuentas::Cargar");
}

TEST_P(PostgreSqlServer, UnreachableServerFailsWithTheConnectionNumber) {
  const LoopbackPort closed(false);
  const Error refused = CaughtError([&] { OpenOdbc(closed.ConnectionString(), Dialect::PostgreSql); });
  EXPECT_EQ(refused.Number(), kUnusable);
  EXPECT_EQ(refused.SqlState(), "08001") << refused.Description();

  // A server that accepts and never answers: the login timeout ends the wait.
  const LoopbackPort silent(true);
  const auto start = std::chrono::steady_clock::now();
  const Error unanswered = CaughtError(
      [&] { OpenOdbc(silent.ConnectionString(), Dialect::PostgreSql, OdbcOptions{1}); });
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(unanswered.Number(), kUnusable);
  EXPECT_EQ(unanswered.SqlState(), "08001") << unanswered.Description();
  EXPECT_LT(waited, std::chrono::seconds(10)) << "the login timeout was not applied";
}

// A connection that notes which threads run statements on it.
class ThreadCheckedConnection : public Connection {
 public:
  explicit ThreadCheckedConnection(std::shared_ptr<Connection> inner)
      : inner_(std::move(inner)), owner_(std::this_thread::get_id()) {}

  int64_t Execute(std::string_view sql) override {
    Note();
    return inner_->Execute(sql);
  }
  std::unique_ptr<Recordset> Open(std::string_view sql, Cursor cursor) override {
    Note();
    return inner_->Open(sql, cursor);
  }
  Dialect SqlDialect() const override { return inner_->SqlDialect(); }
  void BeginAtomic() override {
    Note();
    inner_->BeginAtomic();
  }
  void CommitAtomic() override {
    Note();
    inner_->CommitAtomic();
  }
  void RollbackAtomic() override {
    Note();
    inner_->RollbackAtomic();
  }

  int64_t uses() const { return uses_; }
  int64_t uses_by_other_threads() const { return foreign_uses_; }

 private:
  void Note() {
    ++uses_;
    if (std::this_thread::get_id() != owner_) ++foreign_uses_;
  }

  std::shared_ptr<Connection> inner_;
  std::thread::id owner_;
  std::atomic<int64_t> uses_{0};
  std::atomic<int64_t> foreign_uses_{0};
};

TEST_P(PostgreSqlServer, EightThreadsSaveAndReadBalancesEachOnItsOwnConnection) {
  constexpr int kThreads = 8;
  constexpr int kAccountsPerThread = 25;
  constexpr Currency kBankBalance{16000000};  // 1500.25 + 100 - 0.25
  InsertAccountRow(1, 5, "4300", "Clientes");
  Exec("INSERT INTO Departamentos (Cod_Empresa, Codigo) VALUES (1, 1), (1, 2), (1, 3)");
  Exec("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, Apertura, D1, H1) "
       "VALUES (1, 5, '572', 3, 1500.25, 100, 0.25)");
  auto code = [](int thread, int i) {
    return "4300" + std::to_string(thread) + std::to_string(1000 + i).substr(1);
  };

  std::vector<std::shared_ptr<ThreadCheckedConnection>> connections(kThreads);
  std::mutex failures_mutex;
  std::vector<std::string> failures;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      try {
        auto connection = std::make_shared<ThreadCheckedConnection>(
            OpenOdbc(PostgreSqlConnectionString(), Dialect::PostgreSql));
        connections[t] = connection;
        clsCuenta bank = NewAccount("572");
        bank.Conexion(connection);
        for (int i = 0; i < kAccountsPerThread; ++i) {
          clsCuenta account = NewAccount(code(t, i));
          account.Nombre = "Cliente " + std::to_string(t) + "-" + std::to_string(i);
          account.Nif = "B" + code(t, i);
          account.F_Razon = account.Nombre;
          account.Insertar();
          if (account.Dev_Saldo(5) != Currency{} || bank.Dev_Saldo(5) != kBankBalance) {
            throw std::runtime_error("a balance read wrong while saving " + code(t, i));
          }
        }
      } catch (const std::exception& e) {
        std::lock_guard<std::mutex> lock(failures_mutex);
        failures.push_back("thread " + std::to_string(t) + ": " + e.what());
      }
      ReplaceSharedConnection(nullptr);
    });
  }
  for (std::thread& thread : threads) thread.join();
  ASSERT_EQ(failures, std::vector<std::string>());

  for (int t = 0; t < kThreads; ++t) {
    ASSERT_NE(connections[t], nullptr);
    EXPECT_GT(connections[t]->uses(), kAccountsPerThread * 10) << "thread " << t;
    EXPECT_EQ(connections[t]->uses_by_other_threads(), 0) << "thread " << t;
  }

  std::vector<std::string> expected;
  for (int t = 0; t < kThreads; ++t) {
    for (int i = 0; i < kAccountsPerThread; ++i) expected.push_back(code(t, i));
  }
  std::sort(expected.begin(), expected.end());
  std::vector<std::string> saved;
  auto rows = database_->Open("SELECT Cuenta FROM Cuentas WHERE Cuenta <> '4300' ORDER BY Cuenta");
  for (; !rows->Eof(); rows->MoveNext()) saved.push_back(rows->Field("Cuenta").ToText());
  EXPECT_EQ(saved, expected);

  // Every account exactly once with its accumulator, department and registry rows.
  const std::string accounts = "SELECT Cuenta FROM Cuentas WHERE Cuenta LIKE '4300_%'";
  EXPECT_EQ(Count(accounts), kThreads * kAccountsPerThread);
  EXPECT_EQ(Count("SELECT Cuenta FROM Acumulados WHERE Cuenta IN (" + accounts + ")"),
            kThreads * kAccountsPerThread);
  EXPECT_EQ(Count("SELECT Cuenta FROM Acumulados_Dpto WHERE Cuenta IN (" + accounts + ")"),
            3 * kThreads * kAccountsPerThread);
  EXPECT_EQ(Count("SELECT Cuenta FROM Acumulados GROUP BY Cod_Ejercicio, Cuenta HAVING COUNT(*) > 1"),
            0);
  EXPECT_EQ(Count("SELECT Cuenta, Dpto FROM Acumulados_Dpto GROUP BY Cod_Ejercicio, Cuenta, Dpto "
                  "HAVING COUNT(*) > 1"),
            0);
  EXPECT_EQ(Count("SELECT Nif FROM Razon_Social WHERE Nombre LIKE 'Cliente %'"),
            kThreads * kAccountsPerThread);
  EXPECT_EQ(Scalar("SELECT Nombre AS v FROM Cuentas WHERE Cuenta = '" + code(7, 24) + "'"),
            "Cliente 7-24");
}

INSTANTIATE_TEST_SUITE_P(, PostgreSqlServer, ::testing::ValuesIn(BackendsNamed({"PostgreSql"})),
                         [](const auto& info) { return info.param.name; });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PostgreSqlServer);

}  // namespace
}  // namespace vornexa::testing

#endif  // VORNEXA_WITH_ODBC
