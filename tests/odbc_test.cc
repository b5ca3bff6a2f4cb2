// What only the ODBC driver does: text across the driver, its diagnostics,
// and on the live PostgreSQL server a commit seen by others, a lost or
// unreachable server, and eight threads saving at once.
#include <gtest/gtest.h>

#ifdef VORNEXA_WITH_ODBC

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

#include "support/fixtures.h"
#include "vornexa/data/odbc_handle.h"
#include "vornexa/data/odbc_text.h"

namespace vornexa::testing {
namespace {

namespace err = error_number;

bool Contains(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

TEST(OdbcText, Utf8AndUtf16RoundTrip) {
  for (const std::string& text : {std::string(), std::string("Cuenta 572"),
                                  std::string("Ñandú € ü"), std::string("😀 y 𝄞"),
                                  std::string("a\0b", 3)}) {
    const odbc::WideText wide = odbc::ToWide(text);
    ASSERT_EQ(wide.back(), 0);
    EXPECT_EQ(odbc::FromWide(wide.data(), wide.size() - 1), text);
  }
  EXPECT_EQ(odbc::ToWide("Ñ😀"), (odbc::WideText{0x00D1, 0xD83D, 0xDE00, 0}));
  // An unpaired surrogate from a driver becomes U+FFFD.
  const SQLWCHAR lone[] = {'a', 0xD800, 'b', 0xDC00};
  EXPECT_EQ(odbc::FromWide(lone, 4), "a\uFFFDb\uFFFD");
}

TEST(OdbcText, MalformedUtf8IsRefusedNotAltered) {
  const std::pair<std::string, int> cases[] = {
      {"ab\xC3", 2},            // cut short
      {"\x80", 0},              // continuation byte first
      {"a\xC0\xAF", 1},         // overlong '/'
      {"xy\xED\xA0\x80", 2},    // a surrogate
      {"\xF4\x90\x80\x80", 0},  // beyond U+10FFFF
  };
  for (const auto& [text, offset] : cases) {
    EXPECT_VORNEXA_ERROR(odbc::ToWide(text), err::kStatementRejected, std::string(kDataSource),
                         "El texto no es UTF-8 válido (byte " + std::to_string(offset) + ")");
  }
}

TEST(OdbcDiagnostics, NumbersFollowTheSqlStateClass) {
  const struct {
    const char* state;
    int native;
    Dialect dialect;
    int32_t number;
  } cases[] = {
      {"23505", 1, Dialect::PostgreSql, err::kConstraintViolation},
      {"23000", 2627, Dialect::SqlServer, err::kConstraintViolation},
      {"08S01", 35, Dialect::PostgreSql, err::kConnectionUnusable},
      {"08001", 0, Dialect::SqlServer, err::kConnectionUnusable},
      {"42601", 1, Dialect::PostgreSql, err::kStatementRejected},
      {"HY000", 1, Dialect::Sqlite, err::kStatementRejected},
      // PostgreSQL's end of a session; the same state means nothing to SQL Server.
      {"57P01", 35, Dialect::PostgreSql, err::kConnectionUnusable},
      {"57P01", 35, Dialect::SqlServer, err::kStatementRejected},
      // SQLite's constraint code, plain and extended (2067: unique).
      {"HY000", 19, Dialect::Sqlite, err::kConstraintViolation},
      {"HY000", 2067, Dialect::Sqlite, err::kConstraintViolation},
      {"HY000", 19, Dialect::PostgreSql, err::kStatementRejected},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(odbc::ErrorNumber({c.state, c.native, ""}, c.dialect), c.number)
        << c.state << " " << c.native;
  }
}

TEST(OdbcDiagnostics, TheFirstRecordIsRaisedAsTheDriverGaveIt) {
  const Error e = CaughtError([] {
    odbc::Raise({{"23505", 7, "ERROR: duplicate key;\nError while executing the query\n"},
                 {"01000", 0, "aviso"}},
                Dialect::PostgreSql);
  });
  EXPECT_EQ(e.Number(), err::kConstraintViolation);
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
  EXPECT_EQ(e.Number(), err::kStatementRejected);
  EXPECT_EQ(e.Description(), "Incorrect syntax near 'FAIL'.\n");
  EXPECT_EQ(e.SqlState(), "42000");
  EXPECT_EQ(e.NativeError(), 156);
}
#endif

TEST(OdbcOpening, UnknownDriverIsAConnectionThatCannotBeOpened) {
  const Error e = CaughtError(
      [] { OpenOdbc("Driver={Vornexa No Such Driver};Database=x;", Dialect::PostgreSql); });
  EXPECT_EQ(e.Number(), err::kConnectionUnusable);
  EXPECT_EQ(e.Source(), kDataSource);
  EXPECT_TRUE(Contains(e.Description(), "Vornexa No Such Driver")) << e.Description();
  EXPECT_EQ(e.SqlState().size(), 5u) << e.SqlState();
}

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
  static std::shared_ptr<Connection> SecondConnection() {
    return OpenOdbc(PostgreSqlConnectionString(), Dialect::PostgreSql);
  }
};

TEST_P(PostgreSqlServer, CodeColumnsUseTheBytewiseCollation) {
  EXPECT_EQ(Column("SELECT table_name || '.' || column_name AS v FROM information_schema.columns "
                   "WHERE table_schema = current_schema() AND collation_name = 'C' ORDER BY 1"),
            (std::vector<std::string>{"acumulados.cuenta", "acumulados_dpto.cuenta",
                                      "cuentas.cuenta", "movimientos.cuenta",
                                      "previsiones_cobro.cuentaoriginal", "razon_social.nif"}));
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
    EXPECT_EQ(statement.Number(), err::kConnectionUnusable) << statement.Description();
    EXPECT_FALSE(statement.SqlState().empty()) << statement.Description();
    EXPECT_EQ(CaughtError([&] { victim->Open("SELECT 1 AS v"); }).Number(), err::kConnectionUnusable);
  }
  // Through a public operation, under its source.
  clsCuenta account = NewAccount("572");
  account.Conexion(victim);
  const Error load = CaughtError([&] { account.Cargar(); });
  EXPECT_EQ(load.Number(), err::kConnectionUnusable);
  EXPECT_EQ(load.Source(), "Cuentas::Cargar");
}

TEST_P(PostgreSqlServer, UnreachableServerFailsWithTheConnectionNumber) {
  const LoopbackPort closed(false);
  const Error refused = CaughtError([&] { OpenOdbc(closed.ConnectionString(), Dialect::PostgreSql); });
  EXPECT_EQ(refused.Number(), err::kConnectionUnusable);
  EXPECT_EQ(refused.SqlState(), "08001") << refused.Description();

  // A server that accepts and never answers: the login timeout ends the wait.
  const LoopbackPort silent(true);
  const auto start = std::chrono::steady_clock::now();
  const Error unanswered = CaughtError(
      [&] { OpenOdbc(silent.ConnectionString(), Dialect::PostgreSql, OdbcOptions{1}); });
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(unanswered.Number(), err::kConnectionUnusable);
  EXPECT_EQ(unanswered.SqlState(), "08001") << unanswered.Description();
  EXPECT_LT(waited, std::chrono::seconds(10)) << "the login timeout was not applied";
}

TEST_P(PostgreSqlServer, EightThreadsSaveAndReadBalancesEachOnItsOwnConnection) {
  constexpr int kThreads = 8;
  constexpr int kAccountsPerThread = 25;
  constexpr int kAccounts = kThreads * kAccountsPerThread;
  constexpr Currency kBankBalance{16000000};  // 1500.25 + 100 - 0.25
  InsertAccountRow(1, 5, "4300", "Clientes");
  Exec("INSERT INTO Departamentos (Cod_Empresa, Codigo) VALUES (1, 1), (1, 2), (1, 3)");
  Exec("INSERT INTO Acumulados (Cod_Empresa, Cod_Ejercicio, Cuenta, Nivel, Apertura, D1, H1) "
       "VALUES (1, 5, '572', 3, 1500.25, 100, 0.25)");
  auto code = [](int thread, int i) {
    return "4300" + std::to_string(thread) + std::to_string(1000 + i).substr(1);
  };

  std::mutex failures_mutex;
  std::vector<std::string> failures;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      try {
        clsCuenta bank = NewAccount("572");
        bank.Conexion(SecondConnection());
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
      clsCuenta().Conexion(nullptr);
    });
  }
  for (std::thread& thread : threads) thread.join();
  ASSERT_EQ(failures, std::vector<std::string>());

  std::vector<std::string> expected;
  for (int t = 0; t < kThreads; ++t) {
    for (int i = 0; i < kAccountsPerThread; ++i) expected.push_back(code(t, i));
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Column("SELECT Cuenta AS v FROM Cuentas WHERE Cuenta <> '4300' ORDER BY Cuenta"),
            expected);
  // Every account exactly once with its accumulator, department and registry rows.
  EXPECT_EQ(Count("SELECT DISTINCT Cuenta FROM Acumulados WHERE Cuenta LIKE '4300_%'"), kAccounts);
  EXPECT_EQ(Count("SELECT Cuenta FROM Acumulados WHERE Cuenta LIKE '4300_%'"), kAccounts);
  EXPECT_EQ(Count("SELECT DISTINCT Cuenta, Dpto FROM Acumulados_Dpto"), 3 * kAccounts);
  EXPECT_EQ(Count("SELECT Cuenta FROM Acumulados_Dpto"), 3 * kAccounts);
  EXPECT_EQ(Count("SELECT Nif FROM Razon_Social WHERE Nombre LIKE 'Cliente %'"), kAccounts);
  EXPECT_EQ(Scalar("SELECT Nombre AS v FROM Cuentas WHERE Cuenta = '" + code(7, 24) + "'"),
            "Cliente 7-24");
}

std::vector<Backend> PostgreSqlAlone() {
  std::vector<Backend> chosen;
  for (const Backend& backend : TestBackends()) {
    if (backend.name == "PostgreSql") chosen.push_back(backend);
  }
  return chosen;
}

INSTANTIATE_TEST_SUITE_P(, PostgreSqlServer, ::testing::ValuesIn(PostgreSqlAlone()),
                         [](const auto& info) { return info.param.name; });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PostgreSqlServer);

}  // namespace
}  // namespace vornexa::testing

#endif  // VORNEXA_WITH_ODBC
