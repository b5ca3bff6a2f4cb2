// What only the ODBC driver does: text across the driver, the numbers its
// diagnostics become, what a driver may answer that others never do, and
// connections that cannot be opened.

#ifdef VORNEXA_WITH_ODBC

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "support/fixtures.h"
#include "vornexa/data/odbc_handle.h"
#include "vornexa/data/odbc_text.h"

namespace vornexa::testing {
namespace {

namespace err = error_number;

// Text through the wide calls round-trips in the connection suite; here what
// no database sends back: a lone NUL, and unpaired surrogates (U+FFFD). Each
// kind of malformed UTF-8 is refused before any statement is built (the
// unstorable text suite); one that gets this far is refused at its byte.
TEST(OdbcText, Utf16UnitsUnpairedSurrogatesAndMalformedUtf8) {
  EXPECT_EQ(odbc::ToWide(std::string("Ñ\0😀", 7)), (odbc::WideText{0x00D1, 0, 0xD83D, 0xDE00, 0}));
  const SQLWCHAR lone[] = {'a', 0xD800, 'b', 0xDC00, 0, 'c'};
  EXPECT_EQ(odbc::FromWide(lone, 6), std::string("a\uFFFDb\uFFFD\0c", 10));
  EXPECT_VORNEXA_ERROR(odbc::ToWide("xy\xED\xA0\x80"), err::kStatementRejected,
                       std::string(kDataSource), "El texto no es UTF-8 válido (byte 2)");
}

TEST(OdbcDiagnostics, NumbersFollowTheSqlStateClass) {
  const std::tuple<const char*, int, Dialect, int32_t> cases[] = {
      {"23505", 1, Dialect::PostgreSql, err::kConstraintViolation},
      {"08S01", 35, Dialect::PostgreSql, err::kConnectionUnusable},
      {"HY000", 1, Dialect::Sqlite, err::kStatementRejected},
      // PostgreSQL's end of a session; the same state means nothing to SQL Server.
      {"57P01", 35, Dialect::PostgreSql, err::kConnectionUnusable},
      {"57P01", 35, Dialect::SqlServer, err::kStatementRejected},
      // SQLite's constraint code, plain and extended (2067: unique).
      {"HY000", 19, Dialect::Sqlite, err::kConstraintViolation},
      {"HY000", 2067, Dialect::Sqlite, err::kConstraintViolation},
      {"HY000", 19, Dialect::PostgreSql, err::kStatementRejected},
  };
  for (const auto& [state, native, dialect, number] : cases) {
    EXPECT_EQ(odbc::ErrorNumber({state, native, ""}, dialect), number) << state << " " << native;
  }
}

#ifdef VORNEXA_SCRIPTED_ODBC_DRIVER
// A driver that reports -1 for every count, and two records for a failure
// of which only the first, exactly as given, is raised.
TEST(OdbcDriverAnswers, PassThroughUnknownCountsAndTheFirstDiagnosticAsGiven) {
  const auto connection = OpenOdbc("Driver=" VORNEXA_SCRIPTED_ODBC_DRIVER ";", Dialect::Sqlite);
  EXPECT_EQ(connection->Execute("UPDATE Cuentas SET Nombre = 'x'"), -1);
  const Error e = CaughtError([&] { connection->Execute("FAIL"); });
  EXPECT_EQ(std::make_tuple(e.Number(), e.Source(), e.Description(), e.SqlState(), e.NativeError()),
            std::make_tuple(err::kStatementRejected, std::string(kDataSource),
                            std::string("Incorrect syntax near 'FAIL'.\n"), std::string("42000"),
                            156));
}
#endif

// A loopback port that refuses connections, or, `listening`, accepts them
// and never answers.
class LoopbackPort {
 public:
  explicit LoopbackPort(bool listening) : socket_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}};
    socklen_t length = sizeof address;
    bind(socket_, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
    if (listening) listen(socket_, 4);
    port_ = ntohs(address.sin_port);
  }
  ~LoopbackPort() { close(socket_); }
  std::string ConnectionString() const {
    return "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + std::to_string(port_) +
           ";Database=vornexa_test;Uid=vornexa;Pwd=x;";
  }

 private:
  int socket_;
  int port_;
};

// Where PostgreSQL's driver is installed: the server's backend is there.
class OdbcOpening : public BackendTest {};

TEST_P(OdbcOpening, FailsWithTheConnectionNumberAndTheDriversStateWithinTheLoginTimeout) {
  const LoopbackPort refusing(false), silent(true);
  const std::tuple<std::string, const char*, const char*> cases[] = {
      {"Driver={Vornexa No Such Driver};Database=x;", "01000", "Vornexa No Such Driver"},
      {refusing.ConnectionString(), "08001", "refused"},
      {silent.ConnectionString(), "08001", "timeout"},
  };
  for (const auto& [connection_string, state, mentions] : cases) {
    const auto start = std::chrono::steady_clock::now();
    const Error e =
        CaughtError([&] { OpenOdbc(connection_string, Dialect::PostgreSql, OdbcOptions{1}); });
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10))
        << "the login timeout was not applied";
    EXPECT_EQ(std::make_tuple(e.Number(), e.Source(), e.SqlState()),
              std::make_tuple(err::kConnectionUnusable, std::string(kDataSource), std::string(state)))
        << e.Description();
    EXPECT_NE(e.Description().find(mentions), std::string::npos) << e.Description();
  }
}

VORNEXA_ON_SERVERS(OdbcOpening);

}  // namespace
}  // namespace vornexa::testing

#endif  // VORNEXA_WITH_ODBC
