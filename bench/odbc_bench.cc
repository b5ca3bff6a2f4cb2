// The ODBC driver's own cost: loading one account (Cargar) and creating one
// (Insertar, three departments) on SQLite through ODBC and on the PostgreSQL
// server named by VORNEXA_TEST_PG, beside the embedded driver on the same
// kind of file, and beside bare ODBC calls running Cargar's statement text
// (execute, fetch, every column read as text) on the same connection.
//
//   scripts/with-postgres build/bench/odbc_bench
#include <benchmark/benchmark.h>

#ifdef VORNEXA_WITH_ODBC

#include <sql.h>
#include <sqlext.h>
#include <stdlib.h>

#include <memory>
#include <optional>
#include <string>

#include "bench/bench_support.h"
#include "vornexa/data/sql_translator.h"
#include "vornexa/context/shared_connection.h"
#include "vornexa/vornexa.h"

namespace {

using vornexa::Connection;
using vornexa::Dialect;

enum Backend : int64_t { kEmbedded = 0, kSqliteOdbc = 1, kPostgreSql = 2 };

constexpr int kAccounts = 1000;
const char kLoad[] = "SELECT * FROM Cuentas WHERE Cod_Empresa =1 AND Cod_Ejercicio =5 AND Cuenta ='";

std::string Code(int n) { return std::to_string(43000000 + n); }

// A database of `backend` holding upper account 4300, three departments and
// kAccounts detail accounts; a file one is removed when it goes.
class Database {
 public:
  explicit Database(Backend backend) : backend_(backend) {
    if (backend == kPostgreSql) {
      const char* text = std::getenv("VORNEXA_TEST_PG");
      if (text == nullptr || *text == '\0') throw std::runtime_error("VORNEXA_TEST_PG is not set");
      connection_string_ = text;
      connection = vornexa::OpenOdbc(connection_string_, Dialect::PostgreSql);
      vornexa::CreateSchema(*connection);
      for (const vornexa::TableDef& table : vornexa::SchemaTables()) {
        connection->Execute("DELETE FROM " + std::string(table.name));
      }
    } else {
      file_.emplace("odbc-bench");
      connection_string_ =
          "Driver=SQLite3;Database=" + file_->path() + ";Timeout=10000;SyncPragma=FULL;";
      connection = backend == kEmbedded ? vornexa::OpenSqlite(file_->path())
                                        : vornexa::OpenOdbc(connection_string_, Dialect::Sqlite);
      vornexa::CreateSchema(*connection);
    }
    connection->Execute("INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta) VALUES (1, 5, '4300')");
    for (int d = 1; d <= 3; ++d) {
      connection->Execute("INSERT INTO Departamentos (Cod_Empresa, Codigo) VALUES (1, " +
                          std::to_string(d) + ")");
    }
    vornexa::AtomicScope scope(*connection);
    for (int n = 0; n < kAccounts; ++n) {
      connection->Execute("INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nombre) VALUES "
                          "(1, 5, '" + Code(n) + "', 'Cliente " + std::to_string(n) + "')");
    }
    scope.Commit();
    vornexa::ReplaceSharedConnection(connection);
  }
  ~Database() {
    vornexa::ReplaceSharedConnection(nullptr);
    connection.reset();
  }

  Backend backend() const { return backend_; }
  const std::string& connection_string() const { return connection_string_; }

  std::shared_ptr<Connection> connection;

 private:
  Backend backend_;
  std::optional<vornexa::bench::ScratchDatabase> file_;
  std::string connection_string_;
};

void Label(benchmark::State& state, Backend backend) {
  static const char* const kNames[] = {"embedded", "sqlite-odbc", "postgresql-odbc"};
  state.SetLabel(kNames[backend]);
}

// The benchmark's database, labelled; none (the benchmark skipped with the
// reason) when the backend is not available here.
std::unique_ptr<Database> OpenOrSkip(benchmark::State& state) {
  const auto backend = static_cast<Backend>(state.range(0));
  Label(state, backend);
  try {
    return std::make_unique<Database>(backend);
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return nullptr;
  }
}

void BM_Cargar(benchmark::State& state) {
  const std::unique_ptr<Database> database = OpenOrSkip(state);
  if (!database) return;
  vornexa::clsCuenta account;
  account.cEmpresa(vornexa::bench::BenchCompany());
  int n = 0;
  for (auto _ : state) {
    account.Cuenta = Code(n++ % kAccounts);
    if (!account.Cargar()) state.SkipWithError("account not found");
  }
  state.SetItemsProcessed(state.iterations());
}

// Cargar's statement through bare ODBC calls on a connection of its own.
void BM_RawOdbcCargar(benchmark::State& state) {
  const std::unique_ptr<Database> database = OpenOrSkip(state);
  if (!database) return;
  const Backend backend = database->backend();
  const Dialect dialect = backend == kPostgreSql ? Dialect::PostgreSql : Dialect::Sqlite;
  SQLHENV env;
  SQLHDBC dbc;
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
  std::string text = database->connection_string();
  SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS, nullptr, 0,
                   nullptr, SQL_DRIVER_NOPROMPT);
  int n = 0;
  char buffer[512];
  for (auto _ : state) {
    std::string sql = vornexa::TranslateSql(kLoad + Code(n++ % kAccounts) + "'", dialect);
    SQLHSTMT stmt;
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    if (!SQL_SUCCEEDED(SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS)) ||
        !SQL_SUCCEEDED(SQLFetch(stmt))) {
      state.SkipWithError("raw ODBC load failed");
    }
    SQLSMALLINT columns = 0;
    SQLNumResultCols(stmt, &columns);
    for (SQLUSMALLINT c = 1; c <= columns; ++c) {
      SQLLEN indicator;
      SQLGetData(stmt, c, SQL_C_CHAR, buffer, sizeof buffer, &indicator);
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  }
  SQLDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  state.SetItemsProcessed(state.iterations());
}

void BM_Insertar(benchmark::State& state) {
  const std::unique_ptr<Database> database = OpenOrSkip(state);
  if (!database) return;
  vornexa::clsCuenta account;
  account.cEmpresa(vornexa::bench::BenchCompany());
  int n = kAccounts;
  for (auto _ : state) {
    account.Cuenta = Code(n++);
    account.Nombre = "Nuevo " + account.Cuenta;
    account.Insertar();
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_Cargar)->Arg(kEmbedded)->Arg(kSqliteOdbc)->Arg(kPostgreSql);
BENCHMARK(BM_RawOdbcCargar)->Arg(kSqliteOdbc)->Arg(kPostgreSql);
BENCHMARK(BM_Insertar)->Arg(kEmbedded)->Arg(kSqliteOdbc)->Arg(kPostgreSql);

}  // namespace

#endif  // VORNEXA_WITH_ODBC
