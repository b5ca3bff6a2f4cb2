// Lookups and balances on the embedded database at two sizes of chart: 1k
// accounts with 10k journal lines and 100k accounts with 1M lines. Each
// operation runs beside raw SQLite preparing and stepping the very statement
// text the library sends (after its translation), so the difference is the
// library's own cost. Index seeks keep the per-call cost flat across sizes.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/data_set.h"
#include "vornexa/data/sql_translator.h"
#include "vornexa/context/shared_connection.h"
#include "vornexa/vornexa.h"

namespace {

using vornexa::bench::Check;
using vornexa::bench::FillDataSet;
using vornexa::bench::kSampleCount;
using vornexa::bench::RunRawStatement;
using vornexa::bench::SampleCode;
using vornexa::clsCuenta;
using vornexa::Connection;
using vornexa::Currency;
using vornexa::Cursor;
using vornexa::Dialect;
using vornexa::Recordset;

// A data set in a temporary file, removed at exit.
class DataSetFile {
 public:
  explicit DataSetFile(int accounts) : file_("lookup-" + std::to_string(accounts)) {
    FillDataSet(file_.path(), accounts);
  }
  const std::string& path() const { return file_.path(); }

 private:
  vornexa::bench::ScratchDatabase file_;
};

// Built once per size, on first use.
const std::string& DataSetPath(int accounts) {
  static std::map<int, std::unique_ptr<DataSetFile>> files;
  auto& file = files[accounts];
  if (!file) file = std::make_unique<DataSetFile>(accounts);
  return file->path();
}

// Keeps the last statement text handed to the connection.
class CapturingConnection : public Connection {
 public:
  explicit CapturingConnection(std::shared_ptr<Connection> inner) : inner_(std::move(inner)) {}
  int64_t Execute(std::string_view sql) override {
    last_ = sql;
    return inner_->Execute(sql);
  }
  std::unique_ptr<Recordset> Open(std::string_view sql, Cursor cursor) override {
    last_ = sql;
    return inner_->Open(sql, cursor);
  }
  Dialect SqlDialect() const override { return inner_->SqlDialect(); }
  void BeginAtomic() override { inner_->BeginAtomic(); }
  void CommitAtomic() override { inner_->CommitAtomic(); }
  void RollbackAtomic() override { inner_->RollbackAtomic(); }
  const std::string& last() const { return last_; }

 private:
  std::shared_ptr<Connection> inner_;
  std::string last_;
};

enum class Operation { kCargar, kExiste, kCargarSiguiente, kDevSaldo, kDevAcumulado3 };

// One call of `operation` for the account whose code stands in `account`.
void Call(Operation operation, clsCuenta& account) {
  switch (operation) {
    case Operation::kCargar:
      benchmark::DoNotOptimize(account.Cargar());
      break;
    case Operation::kExiste:
      benchmark::DoNotOptimize(account.Existe());
      break;
    case Operation::kCargarSiguiente:
      benchmark::DoNotOptimize(account.Cargar_Siguiente());
      break;
    case Operation::kDevSaldo:
      benchmark::DoNotOptimize(account.Dev_Saldo(5));
      break;
    case Operation::kDevAcumulado3: {
      Currency debe, haber;
      account.Dev_Acumulado3(5, {2024, 1, 1}, {2024, 12, 31}, Currency{}, Currency{}, "", "", 1, 0,
                             debe, haber);
      benchmark::DoNotOptimize(debe);
      benchmark::DoNotOptimize(haber);
      break;
    }
  }
}

// An account object of company 1, exercise 5, on the data set's database.
clsCuenta OpenAccount(std::shared_ptr<Connection> connection) {
  clsCuenta account;
  account.Conexion(std::move(connection));
  account.cEmpresa(vornexa::bench::BenchCompany());
  return account;
}

void Library(benchmark::State& state, Operation operation) {
  const int accounts = static_cast<int>(state.range(0));
  clsCuenta account = OpenAccount(vornexa::OpenSqlite(DataSetPath(accounts)));
  std::vector<std::string> codes;
  for (int i = 0; i < kSampleCount; ++i) codes.push_back(SampleCode(i, accounts));
  size_t next = 0;
  for (auto _ : state) {
    account.Cuenta = codes[next++ % codes.size()];
    Call(operation, account);
  }
  vornexa::ReplaceSharedConnection(nullptr);
}

// The translated statements the library sends for the sample accounts.
std::vector<std::string> TranslatedStatements(Operation operation, const std::string& path,
                                              int accounts) {
  auto capture = std::make_shared<CapturingConnection>(vornexa::OpenSqlite(path));
  clsCuenta account = OpenAccount(capture);
  std::vector<std::string> statements;
  for (int i = 0; i < kSampleCount; ++i) {
    account.Cuenta = SampleCode(i, accounts);
    Call(operation, account);
    statements.push_back(vornexa::TranslateSql(capture->last(), Dialect::Sqlite));
  }
  vornexa::ReplaceSharedConnection(nullptr);
  return statements;
}

// The same statements, each prepared, stepped and finalized without the library.
void RawSqlite(benchmark::State& state, Operation operation) {
  const int accounts = static_cast<int>(state.range(0));
  const std::string& path = DataSetPath(accounts);
  const std::vector<std::string> statements = TranslatedStatements(operation, path, accounts);
  sqlite3* db = nullptr;
  Check(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), db, "open");
  size_t next = 0;
  for (auto _ : state) RunRawStatement(db, statements[next++ % statements.size()]);
  sqlite3_close(db);
}

#define VORNEXA_LOOKUP_BENCHMARK(Name, operation) \
  BENCHMARK_CAPTURE(Library, Name, operation)     \
      ->Arg(1000)                                 \
      ->Arg(100000)                               \
      ->Unit(benchmark::kMicrosecond);            \
  BENCHMARK_CAPTURE(RawSqlite, Name, operation)   \
      ->Arg(1000)                                 \
      ->Arg(100000)                               \
      ->Unit(benchmark::kMicrosecond)

VORNEXA_LOOKUP_BENCHMARK(Cargar, Operation::kCargar);
VORNEXA_LOOKUP_BENCHMARK(Existe, Operation::kExiste);
VORNEXA_LOOKUP_BENCHMARK(Cargar_Siguiente, Operation::kCargarSiguiente);
VORNEXA_LOOKUP_BENCHMARK(Dev_Saldo, Operation::kDevSaldo);
VORNEXA_LOOKUP_BENCHMARK(Dev_Acumulado3, Operation::kDevAcumulado3);

}  // namespace
